// The composer as the user drives it in the main window: adding, the
// checks and their messages, clearing, copying, the target choice, the key
// filter on the slots, and the keys that act window-wide.

#include "MainWindowFixture.h"
#include "mainwindow/ControlColors.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace anchorly;
using namespace anchorly::test;

namespace {

const QString kCrLf = QStringLiteral("\r\n");

void fill(frmMain& w, const QString& url, const QString& description, const QString& source)
{
    w.txtHREF->setText(url);
    w.txtDESCRIPTION->setText(description);
    w.txtSOURCE->setText(source);
}

QPushButton* button(frmMain& w, const char* name)
{
    return w.findChild<QPushButton*>(QString::fromLatin1(name));
}

QString copied(MainWindowFixture& f)
{
    f.window->cmdCopyToClipboard_Click();
    return f.platform.clipboardText;
}

} // namespace

class TestComposing : public QObject {
    Q_OBJECT

private slots:
    void typedSourceWorkedExample()
    {
        MainWindowFixture f;
        frmMain& w = f.open();
        w.optSource[0]->click();
        fill(w, QStringLiteral("page.html"), QStringLiteral("abc"), QStringLiteral("xyz"));
        w.cmdADD_Click();
        const QString anchor = QStringLiteral("<a href=\"page.html\" target=\"_blank\">abc - xyz</a><br>");
        QCOMPARE(anchor.size(), 53);
        QCOMPARE(w.txtENTRY[0]->text(), anchor);
        QCOMPARE(copied(f), anchor + kCrLf + kCrLf + kCrLf + kCrLf);
        QVERIFY(f.platform.msgBoxes.empty());
    }

    void listSourceWritesTrimmedListText()
    {
        MainWindowFixture f;
        frmMain& w = f.open();
        QVERIFY(w.optSource[1]->isChecked());
        w.Combo2->clear();
        w.Combo2->addItem(QStringLiteral("  Wired News  "));
        w.Combo2->setCurrentIndex(0);
        fill(w, QStringLiteral("u"), QStringLiteral("d"), QStringLiteral("typed"));
        w.cmdADD_Click();
        QCOMPARE(w.txtSOURCE->text(), QStringLiteral("Wired News"));
        QCOMPARE(w.txtENTRY[0]->text(), QStringLiteral("<a href=\"u\" target=\"_blank\">d - Wired News</a><br>"));

        // An empty list text is no failure in list mode.
        w.Combo2->setCurrentIndex(-1);
        w.cmdADD_Click();
        QCOMPARE(w.txtENTRY[1]->text(), QStringLiteral("<a href=\"u\" target=\"_blank\">d - </a><br>"));
        QCOMPARE(w.txtSOURCE->text(), QString());
    }

    // Only the first failing check is reported; its box is highlighted and focused.
    void checks_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("failing");
        QTest::addColumn<QString>("prompt");
        QTest::newRow("url") << "" << "" << "" << "txtHREF"
                             << QStringLiteral("Enter a URL please...") + QString(32, QLatin1Char(' '));
        QTest::newRow("description") << "u" << "" << "" << "txtDESCRIPTION"
                                     << QStringLiteral("Enter a DESCRIPTION please...") + QString(25, QLatin1Char(' '));
        QTest::newRow("source") << "u" << "d" << "" << "txtSOURCE"
                                << "Enter a SOURCE please, or pick one from the list...";
    }
    void checks()
    {
        QFETCH(QString, url);
        QFETCH(QString, description);
        QFETCH(QString, source);
        QFETCH(QString, failing);
        QFETCH(QString, prompt);
        MainWindowFixture f;
        frmMain& w = f.open();
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.optSource[0]->click();
        fill(w, url, description, source);
        w.cmdADD_Click();

        QCOMPARE(int(f.platform.msgBoxes.size()), 1);
        QCOMPARE(f.platform.msgBoxes[0].prompt, prompt);
        QCOMPARE(f.platform.msgBoxes[0].style, 48);
        QCOMPARE(f.platform.msgBoxes[0].title, QStringLiteral("Heho..."));
        auto* box = w.findChild<QLineEdit*>(failing);
        QCOMPARE(backColor(box), toColorNumber(toQColor(kHighlightColor)));
        QCOMPARE(QApplication::focusWidget(), box);
        QCOMPARE(w.txtENTRY[0]->text(), QStringLiteral("Entry1"));
        QCOMPARE(w.txtHTMLsource->toPlainText(), QString());
    }

    void blankInputsPassTheirChecks()
    {
        MainWindowFixture f;
        frmMain& w = f.open();
        w.optSource[0]->click();
        fill(w, QStringLiteral("  "), QStringLiteral(" "), QStringLiteral("   "));
        w.cmdADD_Click();
        QVERIFY(f.platform.msgBoxes.empty());
        QCOMPARE(w.txtENTRY[0]->text(), QStringLiteral("<a href=\"\" target=\"_blank\"> - </a><br>"));
    }

    void fifthAddFillsAndClearReopens()
    {
        MainWindowFixture f;
        frmMain& w = f.open();
        w.optSource[0]->click();
        fill(w, QStringLiteral("u"), QStringLiteral("d"), QStringLiteral("s"));
        const QString info = QStringLiteral("All entries are now filled (use any \"Clear\" - button to remove an entry).");
        for (int i = 0; i < 4; ++i)
            w.cmdADD_Click();
        QVERIFY(w.cmdADD->isEnabled());
        QCOMPARE(w.lblInfo->text(), QString());
        w.cmdADD_Click();
        QVERIFY(!w.cmdADD->isEnabled());
        QCOMPARE(w.lblInfo->text(), info);

        button(w, "cmdClearEntry3")->click();
        QCOMPARE(w.txtENTRY[2]->text(), QStringLiteral("Entry3"));
        QVERIFY(w.cmdADD->isEnabled());
        QCOMPARE(w.lblInfo->text(), QString());
        QCOMPARE(copied(f).split(kCrLf).at(2), QString());

        w.txtDESCRIPTION->setText(QStringLiteral("again"));
        w.cmdADD_Click();
        QVERIFY(w.txtENTRY[2]->text().contains(QStringLiteral("again")));
        QVERIFY(!w.cmdADD->isEnabled());
        QCOMPARE(w.lblInfo->text(), info);
    }

    void slotOrderWithGaps()
    {
        MainWindowFixture f;
        frmMain& w = f.open();
        w.optSource[0]->click();
        fill(w, QStringLiteral("u"), QStringLiteral("1"), QStringLiteral("s"));
        for (int i = 0; i < 3; ++i)
            w.cmdADD_Click();
        button(w, "cmdClearEntry2")->click();
        w.txtDESCRIPTION->setText(QStringLiteral("2"));
        w.cmdADD_Click();
        QVERIFY(w.txtENTRY[1]->text().contains(QStringLiteral(">2 - ")));
        w.txtDESCRIPTION->setText(QStringLiteral("4"));
        w.cmdADD_Click();
        QVERIFY(w.txtENTRY[3]->text().contains(QStringLiteral(">4 - ")));
        QCOMPARE(w.txtENTRY[4]->text(), QStringLiteral("Entry5"));
    }

    void copyAfterStartAndAfterClearAll()
    {
        MainWindowFixture f;
        frmMain& w = f.open();
        w.cmdCopyToClipboard_Click();
        QCOMPARE(f.platform.clipboardLog, (QStringList{QStringLiteral("clear"), QStringLiteral("set:")}));
        button(w, "cmdClear")->click();
        QCOMPARE(copied(f), kCrLf + kCrLf + kCrLf + kCrLf);
        // The user's edits in the box are copied as they stand.
        w.txtHTMLsource->setPlainText(QStringLiteral("mine\nyours"));
        QCOMPARE(copied(f), QStringLiteral("mine\r\nyours"));
    }

    void inputClearsTouchOnlyTheirBoxes()
    {
        MainWindowFixture f;
        frmMain& w = f.open();
        fill(w, QStringLiteral("u"), QStringLiteral("d"), QStringLiteral("s"));
        button(w, "cmdEmptyDESCRIPTION")->click();
        QCOMPARE(w.txtHREF->text(), QStringLiteral("u"));
        QCOMPARE(w.txtDESCRIPTION->text(), QString());
        QCOMPARE(w.txtSOURCE->text(), QStringLiteral("s"));
        const bool listMode = w.optSource[1]->isChecked();
        button(w, "cmdEmptyALL")->click();
        QVERIFY(w.txtHREF->text().isEmpty() && w.txtSOURCE->text().isEmpty());
        QCOMPARE(w.optSource[1]->isChecked(), listMode);
    }

    void targetChoice()
    {
        MainWindowFixture f;
        frmMain& w = f.open();
        QVERIFY(!w.Combo1->isVisible());
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

        // A click on the background hides a shown list and keeps the target.
        w.lblTARGET_Click();
        w.Form_Click();
        QVERIFY(!w.Combo1->isVisible());
        QCOMPARE(w.lblTARGET->text(), QStringLiteral("\" target=\"_top\">"));
    }

    void typingIntoASlotChangesNothing()
    {
        MainWindowFixture f;
        frmMain& w = f.open();
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.txtENTRY[1]->setFocus();
        QTest::keyClicks(w.txtENTRY[1], QStringLiteral("abc "));
        QTest::keyClick(w.txtENTRY[1], Qt::Key_Backspace);
        QTest::keyClick(w.txtENTRY[1], Qt::Key_Delete);
        QTest::keyClick(w.txtENTRY[1], Qt::Key_X, Qt::ControlModifier);
        QTest::keyClick(w.txtENTRY[1], Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(w.txtENTRY[1]->text(), QStringLiteral("Entry2"));
        QCOMPARE(f.platform.endCalls, 0);
    }

    void enterAndEscAct()
    {
        MainWindowFixture f;
        frmMain& w = f.open();
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.optSource[0]->click();
        fill(w, QStringLiteral("u"), QStringLiteral("d"), QStringLiteral("s"));
        for (QWidget* box : std::initializer_list<QWidget*>{w.txtHREF, w.txtDESCRIPTION, w.txtSOURCE}) {
            box->setFocus();
            QTest::keyClick(box, Qt::Key_Return);
        }
        QCOMPARE(composer_filled(w), 3);

        // Enter on another button clicks that button instead.
        QPushButton* clear = button(w, "cmdClear");
        clear->setFocus();
        QTest::keyClick(clear, Qt::Key_Return);
        QCOMPARE(composer_filled(w), 0);

        w.txtHREF->setFocus();
        QTest::keyClick(w.txtHREF, Qt::Key_Escape);
        QCOMPARE(f.platform.endCalls, 1);
        QCOMPARE(f.stored(settings::name::Startup), std::string("True"));
    }

    // Inside a text box the editing keys edit; elsewhere the menu shortcuts act.
    void editingKeysAndShortcuts()
    {
        MainWindowFixture f;
        frmMain& w = f.open();
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.txtHREF->setText(QStringLiteral("http://x"));
        w.txtHREF->setFocus();
        w.txtHREF->selectAll();
        QTest::keyClick(w.txtHREF, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(w.txtHREF->text(), QString());
        QCOMPARE(f.platform.endCalls, 0);

        w.cmdADD->setFocus();
        QTest::keyClick(w.cmdADD, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(f.platform.endCalls, 1);
    }

    void firstTabGoesToTheUrlBox()
    {
        MainWindowFixture f;
        frmMain& w = f.open();
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.cmdADD));
        QTest::keyClick(w.cmdADD, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.txtHREF));
    }

private:
    static int composer_filled(frmMain& w)
    {
        int count = 0;
        for (QLineEdit* slot : w.txtENTRY)
            count += slot->text().size() > 6 ? 1 : 0;
        return count;
    }
};

QTEST_MAIN(TestComposing)
#include "tst_composing.moc"
