// Start-up and shut-down, the border colour, hover help and the window's
// layout, through the main window over a fake platform.

#include "MainWindowFixture.h"
#include "mainwindow/BorderShape.h"
#include "mainwindow/ControlColors.h"
#include "resources/Resources.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace anchorly;
using namespace anchorly::test;
namespace name = anchorly::settings::name;

namespace {

QAction* defaultColorItem(frmMain& w)
{
    return w.findChild<QAction*>(QStringLiteral("menuDefaultcolor"));
}

} // namespace

class TestLifecycle : public QObject {
    Q_OBJECT

private slots:
    // --- second copy ---
    void secondCopyIsRefused()
    {
        MainWindowFixture f;
        f.platform.previousInstance = true;
        f.window = std::make_unique<frmMain>(f.platform, f.settings);
        QVERIFY(!f.window->Form_Initialize());
        QCOMPARE(int(f.platform.msgBoxes.size()), 1);
        QCOMPARE(f.platform.msgBoxes[0].prompt, QStringLiteral("Anchorly is already running."));
        QCOMPARE(f.platform.msgBoxes[0].style, 64);
        QCOMPARE(f.platform.msgBoxes[0].title, QStringLiteral("Anchorly"));
        QCOMPARE(f.platform.endCalls, 1);
        QVERIFY(f.registryApi.keys.empty());
        QVERIFY(f.registryApi.writes.empty());
    }

    void instanceCheckErrors_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("closing");
        QTest::newRow("339") << 339 << "Re-install the program to fix this.";
        QTest::newRow("50003") << 50003
                               << "Re-install the program to fix this, or get the latest vbruntimes at Quillbay.";
        QTest::newRow("other") << 75 << "Please inform the author with the error description above.";
    }
    void instanceCheckErrors()
    {
        QFETCH(int, number);
        QFETCH(QString, closing);
        MainWindowFixture f;
        f.platform.prevInstanceError = RuntimeError(number, QStringLiteral("Broken"));
        f.window = std::make_unique<frmMain>(f.platform, f.settings);
        QVERIFY(f.window->Form_Initialize());
        QCOMPARE(int(f.platform.msgBoxes.size()), 1);
        QCOMPARE(f.platform.msgBoxes[0].prompt, QStringLiteral("An Error was generated:\r\nDescription: Error ") +
                                                    QString::number(number) + QStringLiteral(" - Broken\r\n\r\n") +
                                                    closing);
        QCOMPARE(f.platform.msgBoxes[0].style, 0);
        QCOMPARE(f.platform.msgBoxes[0].title, QStringLiteral("Error"));
        QCOMPARE(f.platform.endCalls, 0);
    }

    // --- restoring ---
    void firstStart()
    {
        MainWindowFixture f;
        frmMain& w = f.open();
        const int left = (f.platform.screenWidth - w.frameGeometry().width() * 15) / 2 / 15;
        QCOMPARE(w.frameGeometry().x(), left);
        QCOMPARE(w.lblTARGET->text(), QStringLiteral("\" target=\"_blank\">"));
        QCOMPARE(w.Combo2->count(), 63);
        QCOMPARE(w.Combo2->currentIndex(), 0);
        QVERIFY(w.optSource[1]->isChecked() && !w.optSource[0]->isChecked());
        QCOMPARE(w.Shape1->borderColor(), 65280u);
        QVERIFY(!defaultColorItem(w)->isEnabled());
        QVERIFY(!QFile::exists(f.appFolder.filePath(QStringLiteral("sources.txt"))));
    }

    void storedPlace_data()
    {
        QTest::addColumn<QString>("startup");
        QTest::addColumn<QString>("top");
        QTest::addColumn<QString>("left");
        QTest::addColumn<bool>("centred");
        QTest::newRow("restored") << "True" << "1500" << "3000" << false;
        QTest::newRow("startup false") << "False" << "1500" << "3000" << true;
        QTest::newRow("startup zero") << "0" << "1500" << "3000" << true;
        QTest::newRow("negative top") << "True" << "-15" << "3000" << true;
        QTest::newRow("negative left") << "True" << "1500" << "-30" << true;
        QTest::newRow("off every screen") << "True" << "1500" << "300000" << true;
    }
    void storedPlace()
    {
        QFETCH(QString, startup);
        QFETCH(QString, top);
        QFETCH(QString, left);
        QFETCH(bool, centred);
        MainWindowFixture f;
        f.store(name::Startup, startup);
        f.store(name::Top, top);
        f.store(name::Left, left);
        frmMain& w = f.open();
        if (centred) {
            QCOMPARE(w.frameGeometry().x(), (f.platform.screenWidth - w.frameGeometry().width() * 15) / 2 / 15);
        } else {
            QCOMPARE(w.frameGeometry().y(), 100);
            QCOMPARE(w.frameGeometry().x(), 200);
        }
    }

    void storedChoices()
    {
        MainWindowFixture f;
        f.store(name::ComboIndex, QStringLiteral("3"));
        f.store(name::ComboSource, QStringLiteral("2"));
        f.store(name::BorderColor, QStringLiteral("255"));
        f.store(name::SourceOptionText, QStringLiteral("True"));
        f.store(name::SourceOptionCombo, QStringLiteral("False"));
        frmMain& w = f.open();
        QCOMPARE(w.lblTARGET->text(), QStringLiteral("\" target=\"_top\">"));
        QCOMPARE(w.Combo2->currentIndex(), 2);
        // The stored mode wins over the list mode the source's selection chose.
        QVERIFY(w.optSource[0]->isChecked() && !w.optSource[1]->isChecked());
        QCOMPARE(w.Shape1->borderColor(), 255u);
        QVERIFY(defaultColorItem(w)->isEnabled());
    }

    void unusableIndexesFallBackToTheFirst_data()
    {
        QTest::addColumn<QString>("comboIndex");
        QTest::addColumn<QString>("comboSource");
        QTest::newRow("out of range") << "9" << "700";
        QTest::newRow("minus one") << "-1" << "-1";
        QTest::newRow("not a number") << "x" << "Error";
    }
    void unusableIndexesFallBackToTheFirst()
    {
        QFETCH(QString, comboIndex);
        QFETCH(QString, comboSource);
        MainWindowFixture f;
        f.store(name::ComboIndex, comboIndex);
        f.store(name::ComboSource, comboSource);
        frmMain& w = f.open();
        QCOMPARE(w.Combo1->currentIndex(), 0);
        QCOMPARE(w.lblTARGET->text(), QStringLiteral("\" target=\"_blank\">"));
        QCOMPARE(w.Combo2->currentIndex(), 0);
    }

    // --- saving ---
    void closeStoresSevenValuesInOrder()
    {
        MainWindowFixture f;
        frmMain& w = f.open();
        f.registryApi.writes.clear();
        w.optSource[0]->click();
        w.Form_QueryUnload();
        const std::vector<std::string> order{"Top", "Left", "Startup", "ComboIndex", "ComboSource",
                                             "Source Option Text", "Source Option Combo"};
        QCOMPARE(f.registryApi.writes, order);
        QCOMPARE(f.stored(name::Startup), std::string("True"));
        QCOMPARE(f.stored(name::ComboIndex), std::string("0"));
        QCOMPARE(f.stored(name::SourceOptionText), std::string("True"));
        QCOMPARE(f.stored(name::SourceOptionCombo), std::string("False"));
        QCOMPARE(f.stored(name::Left), std::to_string(w.frameGeometry().x() * 15));
    }

    void minimizedCloseKeepsThePlace()
    {
        MainWindowFixture f;
        frmMain& w = f.open();
        w.showMinimized();
        QTRY_VERIFY(w.isMinimized());
        f.registryApi.writes.clear();
        w.Form_QueryUnload();
        QCOMPARE(f.registryApi.writes.size(), size_t(5));
        QCOMPARE(f.registryApi.writes.front(), std::string("Startup"));
    }

    // --- border colour ---
    void borderColourStates()
    {
        MainWindowFixture f;
        frmMain& w = f.open();
        QAction* defaultItem = defaultColorItem(w);

        // Green picked in the dialog: stored, and "Default" enabled all the same.
        f.platform.colorAnswers = {65280u};
        w.menuChangeBorderColor_Click();
        QCOMPARE(f.platform.colorDialogs.back().color, 0u); // the first use opens on black
        QCOMPARE(f.platform.colorDialogs.back().flags, 1);
        QVERIFY(f.platform.colorDialogs.back().cancelError);
        QCOMPARE(f.stored(name::BorderColor), std::string("65280"));
        QVERIFY(defaultItem->isEnabled());

        // A cancel with green shown disables "Default" and changes nothing.
        f.platform.colorAnswers = {std::nullopt};
        w.menuChangeBorderColor_Click();
        QVERIFY(!defaultItem->isEnabled());
        QCOMPARE(w.Shape1->borderColor(), 65280u);

        f.platform.colorAnswers = {16777215u};
        w.menuChangeBorderColor_Click();
        QCOMPARE(w.Shape1->borderColor(), 16777215u);
        QCOMPARE(f.stored(name::BorderColor), std::string("16777215"));
        QVERIFY(defaultItem->isEnabled());

        w.menuDefaultcolor_Click();
        QCOMPARE(w.Shape1->borderColor(), 65280u);
        QCOMPARE(f.stored(name::BorderColor), std::string("65280"));
        QVERIFY(!defaultItem->isEnabled());

        // The dialog opens on its last choice, not on the default.
        f.platform.colorAnswers = {std::nullopt};
        w.menuChangeBorderColor_Click();
        QCOMPARE(f.platform.colorDialogs.back().color, 16777215u);
        QCOMPARE(f.stored(name::BorderColor), std::string("65280"));
    }

    // --- hover help ---
    void hoverLightsUpAndResets()
    {
        MainWindowFixture f;
        frmMain& w = f.open();
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.txtHREF->setText(QStringLiteral("http://example.org"));
        w.cmdADD->setFocus();
        QTest::mouseMove(w.lblURL, QPoint(3, 3));
        QTRY_COMPARE(foreColor(w.lblURL), kRed);
        QCOMPARE(backColor(w.txtHREF), kWhite);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.txtHREF));
        QCOMPARE(w.txtHREF->selectedText(), QStringLiteral("http://example.org"));

        QTest::mouseMove(w.Image1, QPoint(2, 2));
        QTRY_COMPARE(foreColor(w.lblURL), kDarkBlue);
        QCOMPARE(backColor(w.txtHREF), kLightGrey);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.txtHREF));

        // The source label goes to the list in list mode, to the box in typed mode.
        w.lbSOURCEDESCRIPTION_MouseMove();
        QCOMPARE(backColor(w.Combo2), kWhite);
        QCOMPARE(backColor(w.txtSOURCE), kLightGrey);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.Combo2));

        w.lblTARGET_MouseMove();
        QCOMPARE(w.lblTARGET->toolTip(), QStringLiteral(" Click for list... "));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.Combo2));
    }

    void slotTooltipsShowTheirTexts()
    {
        MainWindowFixture f;
        frmMain& w = f.open();
        w.txtENTRY[0]->setText(QStringLiteral("<a href=\"x\" target=\"_blank\">d - s</a><br>"));
        w.txtENTRY_MouseMove();
        QCOMPARE(w.txtENTRY[0]->toolTip(), w.txtENTRY[0]->text());
        QCOMPARE(w.txtENTRY[4]->toolTip(), QStringLiteral("Entry5"));
    }

    // A right click on the frame pops up the colour menu; other buttons do not.
    void rightClickOnTheFrame()
    {
        MainWindowFixture f;
        frmMain& w = f.open();
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTest::mouseClick(w.Image1, Qt::RightButton, {}, QPoint(4, 4));
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu);
        QStringList shown;
        for (QAction* action : menu->actions())
            shown << action->text();
        menu->close();
        QCOMPARE(shown, (QStringList{QStringLiteral("Change Border color"), QStringLiteral("Default")}));

        w.lblTARGET_Click();
        QTest::mouseClick(w.Image1, Qt::LeftButton, {}, QPoint(4, 4));
        QVERIFY(QApplication::activePopupWidget() == nullptr);
        QVERIFY(!w.Combo1->isVisible());
    }

    // --- layout ---
    void geometryNamesAndTabOrder()
    {
        MainWindowFixture f;
        frmMain& w = f.open();
        QCOMPARE(w.centralWidget()->size(), QSize(607, 420));
        QCOMPARE(w.cmdADD->geometry(), QRect(529, 12, 71, 25));
        QCOMPARE(w.txtENTRY[4]->geometry(), QRect(8, 155 + 18 * 4, 514, 16));
        QCOMPARE(w.Combo1->geometry(), QRect(213, 13, 57, 21));
        QCOMPARE(w.cmdADD->toolTip(), QStringLiteral(" Add input to entry field "));

        const QStringList order{"cmdADD", "txtHREF", "txtDESCRIPTION", "txtSOURCE", "Combo2", "cmdEmptyURL",
                                "cmdEmptyDESCRIPTION", "cmdEmptySOURCE", "optSource_0", "optSource_1",
                                "cmdAddToList", "cmdEditList", "cmdRefreshCombo2", "cmdEmptyALL", "txtENTRY_0",
                                "cmdClearEntry1", "txtENTRY_1", "cmdClearEntry2", "txtENTRY_2", "cmdClearEntry3",
                                "txtENTRY_3", "cmdClearEntry4", "txtENTRY_4", "cmdClearEntry5", "cmdClear",
                                "txtHTMLsource", "cmdBrowser", "cmdEditor", "cmdOpenALL", "cmdExit", "cmdAbout",
                                "cmdPrefs", "cmdCopyToClipboard"};
        QWidget* widget = w.cmdADD;
        for (const QString& expected : order) {
            QCOMPARE(widget->objectName(), expected);
            widget = widget->nextInFocusChain();
            while (widget->focusPolicy() == Qt::NoFocus || !widget->isVisibleTo(&w) ||
                   widget->parentWidget() != w.centralWidget())
                widget = widget->nextInFocusChain();
        }

        // The two hidden menus exist but are not in the menu bar.
        const QStringList shown{QStringLiteral("&Project"), QStringLiteral("&Edit")};
        QStringList titles;
        for (QAction* action : w.menuBar()->actions())
            titles << action->text();
        QCOMPARE(titles, shown);
        QVERIFY(w.findChild<QMenu*>(QStringLiteral("menuHTML")));
        QVERIFY(w.findChild<QMenu*>(QStringLiteral("menuColorMenu")));
    }

    // Every caption fits its control in the font the program runs with.
    void captionsFit()
    {
        QApplication::setFont(resources::dialogFont());
        MainWindowFixture f;
        frmMain& w = f.open();
        for (QPushButton* button : w.findChildren<QPushButton*>()) {
            const QString text = button->text().remove(QLatin1Char('&'));
            QVERIFY2(button->fontMetrics().horizontalAdvance(text) + 8 <= button->width(), qPrintable(text));
        }
        // The template row's labels do not run into each other.
        const QList<QLabel*> row{w.lblHREF, w.lblURL, w.lblTARGET, w.lblDESCRIPTION, w.lblSOURCE,
                                 w.lbSOURCEDESCRIPTION, w.lblENDTAG};
        for (int i = 0; i + 1 < row.size(); ++i)
            QVERIFY2(row[i]->geometry().right() < row[i + 1]->geometry().left(), qPrintable(row[i]->objectName()));
        w.Combo1->setCurrentIndex(1);
        w.Combo1_Click();
        QVERIFY(w.lblTARGET->geometry().right() < w.lblDESCRIPTION->geometry().left());
        QVERIFY(w.lblENDTAG->geometry().right() < w.Shape1->geometry().right());
    }
};

QTEST_MAIN(TestLifecycle)
#include "tst_lifecycle.moc"
