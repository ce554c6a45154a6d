// The composer as the user drives it in the main window: the controls, the
// messages through the platform, focus, keys and the add button's state. The
// string rules themselves are tested in tests/composer.

#include "MainWindowFixture.h"
#include "composer/Composer.h"
#include "mainwindow/ControlColors.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>

using namespace anchorly;
using namespace anchorly::test;

namespace {

const QString kFourLineEnds = QStringLiteral("\r\n\r\n\r\n\r\n");

int filled(frmMain& w)
{
    return int(std::count_if(w.txtENTRY.begin(), w.txtENTRY.end(), [](QLineEdit* e) { return e->text().size() > 6; }));
}

} // namespace

class TestComposing : public QObject {
    Q_OBJECT

private slots:
    // An add fills the first slot, its tooltip and the copied source; the
    // list mode writes the trimmed list text into txtSOURCE.
    void add_data()
    {
        QTest::addColumn<bool>("typed");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("listText"); // null: nothing selected in the list
        QTest::addColumn<QString>("anchor");
        QTest::addColumn<QString>("sourceAfter");
        const auto row = [](const char* name, bool typed, const char* source, QString listText, const char* anchor,
                            const char* sourceAfter) {
            QTest::newRow(name) << typed << source << listText << anchor << sourceAfter;
        };
        row("worked example", true, "xyz", {}, "<a href=\"page.html\" target=\"_blank\">abc - xyz</a><br>", "xyz");
        row("blank-only inputs pass", true, "   ", {}, "<a href=\"\" target=\"_blank\"> - </a><br>", "   ");
        row("list text trimmed", false, "typed", "  Wired News  ",
            "<a href=\"page.html\" target=\"_blank\">abc - Wired News</a><br>", "Wired News");
        row("empty list text", false, "typed", {}, "<a href=\"page.html\" target=\"_blank\">abc - </a><br>", "");
    }
    void add()
    {
        QFETCH(bool, typed);
        QFETCH(QString, source);
        QFETCH(QString, listText);
        QFETCH(QString, anchor);
        QFETCH(QString, sourceAfter);
        MainWindowFixture f;
        frmMain& w = f.open();
        QVERIFY(w.optSource[1]->isChecked());
        w.optSource[typed ? 0 : 1]->click();
        w.Combo2->clear();
        if (!listText.isNull())
            w.Combo2->addItem(listText);
        const bool blank = source.trimmed().isEmpty();
        f.fill(blank ? QStringLiteral("  ") : QStringLiteral("page.html"),
               blank ? QStringLiteral(" ") : QStringLiteral("abc"), source);
        w.cmdADD_Click();
        QVERIFY(f.platform.msgBoxes.empty());
        QCOMPARE(w.txtENTRY[0]->text(), anchor);
        QCOMPARE(w.txtSOURCE->text(), sourceAfter);
        QCOMPARE(f.copied(), anchor + kFourLineEnds);
        w.txtENTRY_MouseMove();
        QCOMPARE(w.txtENTRY[0]->toolTip(), anchor);
        QCOMPARE(w.txtENTRY[1]->toolTip(), QStringLiteral("Entry2"));
    }

    // Only the first failing check is reported; its box is highlighted and focused.
    void checks_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("failing");
        QTest::addColumn<QString>("prompt");
        QTest::newRow("url") << QString() << QString() << "txtHREF" << composer::urlPrompt();
        QTest::newRow("description") << "u" << QString() << "txtDESCRIPTION" << composer::descriptionPrompt();
        QTest::newRow("source") << "u" << QStringLiteral("d") << "txtSOURCE" << composer::sourcePrompt();
    }
    void checks()
    {
        QFETCH(QString, url);
        QFETCH(QString, description);
        QFETCH(QString, failing);
        QFETCH(QString, prompt);
        MainWindowFixture f;
        frmMain& w = f.shown();
        w.optSource[0]->click();
        f.fill(url, description, QString());
        w.cmdADD_Click();
        QCOMPARE(f.onlyMessage(), "48|Heho...|" + prompt);
        auto* box = w.findChild<QLineEdit*>(failing);
        QCOMPARE(backColor(box), toColorNumber(toQColor(kHighlightColor)));
        QCOMPARE(QApplication::focusWidget(), box);
        QCOMPARE(w.txtENTRY[0]->text(), QStringLiteral("Entry1"));
        QCOMPARE(w.txtHTMLsource->toPlainText(), QString());
    }

    // The fifth add disables the add button; a clear opens that slot again.
    void fifthAddAndClear()
    {
        MainWindowFixture f;
        frmMain& w = f.open();
        w.optSource[0]->click();
        f.fill(QStringLiteral("u"), QStringLiteral("d"), QStringLiteral("s"));
        for (int i = 0; i < 4; ++i)
            w.cmdADD_Click();
        QVERIFY(w.cmdADD->isEnabled() && w.lblInfo->text().isEmpty());
        w.cmdADD_Click();
        QVERIFY(!w.cmdADD->isEnabled());
        QCOMPARE(w.lblInfo->text(), composer::allFilledMessage());

        f.button("cmdClearEntry3")->click();
        QCOMPARE(w.txtENTRY[2]->text(), QStringLiteral("Entry3"));
        QVERIFY(w.cmdADD->isEnabled() && w.lblInfo->text().isEmpty());
        QCOMPARE(f.copied().split(QStringLiteral("\r\n")).at(2), QString());
        w.txtDESCRIPTION->setText(QStringLiteral("again"));
        w.cmdADD_Click();
        QVERIFY(w.txtENTRY[2]->text().contains(QStringLiteral(">again - ")));
        QVERIFY(!w.cmdADD->isEnabled());
    }

    void copyAfterStartAndAfterClearAll()
    {
        MainWindowFixture f;
        frmMain& w = f.open();
        w.cmdCopyToClipboard_Click();
        QCOMPARE(f.platform.clipboardLog, (QStringList{QStringLiteral("clear"), QStringLiteral("set:")}));
        f.button("cmdClear")->click();
        QCOMPARE(f.copied(), kFourLineEnds);
        w.txtHTMLsource->setPlainText(QStringLiteral("mine\nyours")); // the user's edits are copied as they stand
        QCOMPARE(f.copied(), QStringLiteral("mine\r\nyours"));
    }

    // The composer's messages to the character, trailing blanks included.
    void messageTexts()
    {
        QCOMPARE(composer::urlPrompt(), "Enter a URL please..." + QString(32, ' '));
        QCOMPARE(composer::descriptionPrompt(), "Enter a DESCRIPTION please..." + QString(25, ' '));
        QCOMPARE(composer::sourcePrompt(), "Enter a SOURCE please, or pick one from the list...");
        QCOMPARE(composer::allFilledMessage(),
                 "All entries are now filled (use any \"Clear\" - button to remove an entry).");
    }

    // Inputs and slots keep any length (a line edit cuts at 32,767 unless
    // told otherwise), a slot shows its anchor from the start, and the copy
    // keeps the characters a text box shows as blanks or line breaks.
    void longAndUnusualText()
    {
        MainWindowFixture f;
        frmMain& w = f.shown();
        w.optSource[0]->click();
        const QString url(99950, 'u'), source(33000, 's'),
            description = QString::fromUtf16(u"no\u00A0break\u2028line\u2029paragraph\rend") + QString(33000, 'd');
        f.fill(url, description, source);
        w.cmdADD_Click();
        const QString anchor = "<a href=\"" + url + "\" target=\"_blank\">" + description + " - " + source + "</a><br>";
        QVERIFY(w.txtENTRY[0]->text() == anchor);
        QCOMPARE(w.txtENTRY[0]->cursorPosition(), 0);
        QVERIFY(f.copied() == anchor + kFourLineEnds);
    }

    // A click on the target label shows the list and leaves it shown (it
    // once showed and hid it at once); a second click or one on the
    // background hides it, a choice sets the target.
    void targetChoice()
    {
        MainWindowFixture f;
        frmMain& w = f.open();
        w.show();
        QTest::mouseClick(w.lblTARGET, Qt::LeftButton, {}, QPoint(10, 5));
        QVERIFY(w.Combo1->isVisible());
        QTest::mouseClick(w.lblTARGET, Qt::LeftButton, {}, QPoint(10, 5));
        QVERIFY(!w.Combo1->isVisible());
        QCOMPARE(w.lblTARGET->text(), QStringLiteral("\" target=\"_blank\">"));

        w.lblTARGET_Click();
        w.Combo1->setCurrentIndex(3);
        emit w.Combo1->activated(3);
        QCOMPARE(w.lblTARGET->text(), QStringLiteral("\" target=\"_top\">"));
        QVERIFY(!w.Combo1->isVisible());
        w.lblTARGET_Click();
        w.Form_Click();
        QVERIFY(!w.Combo1->isVisible());
        QCOMPARE(w.lblTARGET->text(), QStringLiteral("\" target=\"_top\">"));
    }

    void typingIntoASlotChangesNothing()
    {
        MainWindowFixture f;
        frmMain& w = f.shown();
        w.txtENTRY[1]->setFocus();
        QTest::keyClicks(w.txtENTRY[1], QStringLiteral("abc "));
        for (int key : {Qt::Key_Backspace, Qt::Key_Delete})
            QTest::keyClick(w.txtENTRY[1], Qt::Key(key));
        for (int key : {Qt::Key_X, Qt::Key_V})
            QTest::keyClick(w.txtENTRY[1], Qt::Key(key), Qt::ControlModifier);
        QCOMPARE(w.txtENTRY[1]->text(), QStringLiteral("Entry2"));
        QCOMPARE(f.platform.endCalls, 0);
    }

    // The add button has the focus at first and Tab leads to the URL; Enter
    // in an input box adds, Enter on another button clicks that button.
    void enterRouting()
    {
        MainWindowFixture f;
        frmMain& w = f.shown();
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.cmdADD));
        QTest::keyClick(w.cmdADD, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.txtHREF));
        w.optSource[0]->click();
        f.fill(QStringLiteral("u"), QStringLiteral("d"), QStringLiteral("s"));
        for (QWidget* box : std::initializer_list<QWidget*>{w.txtHREF, w.txtDESCRIPTION, w.txtSOURCE}) {
            box->setFocus();
            QTest::keyClick(box, Qt::Key_Return);
        }
        QCOMPARE(filled(w), 3);
        f.button("cmdClear")->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(filled(w), 0);
    }

    // Esc ends the program; Ctrl+X cuts inside a text box and exits elsewhere.
    void exitKeys_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("exits");
        QTest::newRow("Esc in a box") << "txtHREF" << int(Qt::Key_Escape) << 0 << true;
        QTest::newRow("Ctrl+X in a box cuts") << "txtHREF" << int(Qt::Key_X) << int(Qt::ControlModifier) << false;
        QTest::newRow("Ctrl+X on a button") << "cmdADD" << int(Qt::Key_X) << int(Qt::ControlModifier) << true;
    }
    void exitKeys()
    {
        QFETCH(QString, focus);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(bool, exits);
        MainWindowFixture f;
        frmMain& w = f.shown();
        w.txtHREF->setText(QStringLiteral("http://x"));
        w.txtHREF->selectAll();
        auto* target = w.findChild<QWidget*>(focus);
        target->setFocus();
        QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(f.platform.endCalls, exits ? 1 : 0);
        QCOMPARE(f.stored(settings::name::Startup) == "True", exits);
        QCOMPARE(w.txtHREF->text().isEmpty(), !exits);
    }
};

QTEST_MAIN(TestComposing)
#include "tst_composing.moc"
