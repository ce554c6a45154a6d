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
#include <QRadioButton>

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
    // A second copy is refused before anything is read or stored; a failing
    // check is reported with the closing line for its number, and the
    // program goes on.
    void instanceCheck_data()
    {
        QTest::addColumn<int>("error"); // 0: the check answers "another copy runs"
        QTest::addColumn<QString>("message");
        const auto failed = [](int error, const char* closing) {
            const QString text =
                QStringLiteral("0|Error|An Error was generated:\r\nDescription: Error %1 - Broken\r\n\r\n");
            QTest::addRow("%d", error) << error << text.arg(error) + closing;
        };
        QTest::newRow("second copy") << 0 << "64|Anchorly|Anchorly is already running.";
        failed(339, "Re-install the program to fix this.");
        failed(50003, "Re-install the program to fix this, or get the latest vbruntimes at Quillbay.");
        failed(75, "Please inform the author with the error description above.");
    }
    void instanceCheck()
    {
        QFETCH(int, error);
        QFETCH(QString, message);
        MainWindowFixture f;
        f.platform.previousInstance = true;
        if (error)
            f.platform.prevInstanceError = RuntimeError(error, QStringLiteral("Broken"));
        f.window = std::make_unique<frmMain>(f.platform, f.settings);
        QCOMPARE(f.window->Form_Initialize(), error != 0);
        QCOMPARE(f.onlyMessage(), message);
        QCOMPARE(f.platform.endCalls, error ? 0 : 1);
        QVERIFY(f.registryApi.keys.empty() && f.registryApi.writes.empty());
    }

    // What the window restores from the stored values ("" for an empty store).
    void startUp_data()
    {
        QTest::addColumn<QString>("stored"); // name=value pairs, ";" between
        QTest::addColumn<bool>("placed");    // at the stored place, else centred
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("source");
        QTest::addColumn<bool>("typed");
        QTest::addColumn<uint>("colour");
        const auto row = [](const char* name, const char* stored, bool placed, const char* target = "_blank",
                            int source = 0, bool typed = false, uint colour = 65280) {
            QTest::newRow(name) << stored << placed << target << source << typed << colour;
        };
        row("empty store", "", false);
        row("restored", "Startup=True;Top=1500;Left=3000", true);
        row("startup false", "Startup=False;Top=1500;Left=3000", false);
        row("startup zero", "Startup=0;Top=1500;Left=3000", false);
        row("negative top", "Startup=True;Top=-15;Left=3000", false);
        row("negative left", "Startup=True;Top=1500;Left=-30", false);
        row("off every screen", "Startup=True;Top=1500;Left=300000", false);
        // The stored mode wins over the list mode that selecting the source chose.
        row("choices", "ComboIndex=3;ComboSource=2;BorderColor=255;Source Option Text=True;Source Option Combo=False",
            false, "_top", 2, true, 255);
        row("indexes out of range", "ComboIndex=9;ComboSource=700", false);
        row("indexes minus one", "ComboIndex=-1;ComboSource=-1", false);
        row("indexes not numbers", "ComboIndex=x;ComboSource=Error", false);
    }
    void startUp()
    {
        QFETCH(QString, stored);
        QFETCH(bool, placed);
        QFETCH(QString, target);
        QFETCH(int, source);
        QFETCH(bool, typed);
        QFETCH(uint, colour);
        MainWindowFixture f;
        for (const QString& pair : stored.split(QLatin1Char(';'), Qt::SkipEmptyParts))
            f.store(pair.section(QLatin1Char('='), 0, 0).toLatin1().constData(), pair.section(QLatin1Char('='), 1));
        frmMain& w = f.open();
        const int centred = (f.platform.screenWidth - w.frameGeometry().width() * 15) / 2 / 15;
        QCOMPARE(w.frameGeometry().x(), placed ? 200 : centred);
        if (placed)
            QCOMPARE(w.frameGeometry().y(), 100);
        QCOMPARE(w.lblTARGET->text(), "\" target=\"" + target + "\">");
        QCOMPARE(w.Combo2->count(), 63);
        QCOMPARE(w.Combo2->currentIndex(), source);
        QVERIFY(w.optSource[0]->isChecked() == typed && w.optSource[1]->isChecked() == !typed);
        QCOMPARE(w.Shape1->borderColor(), colour);
        QCOMPARE(defaultColorItem(w)->isEnabled(), colour != 65280u);
        QVERIFY(!QFile::exists(f.appFolder.filePath(QStringLiteral("sources.txt"))));
    }

    // Closing stores seven values in order; when minimized, the place is kept.
    void closing()
    {
        MainWindowFixture f;
        frmMain& w = f.open();
        w.optSource[0]->click();
        f.registryApi.writes.clear();
        w.Form_QueryUnload();
        const std::vector<std::string> seven{
            "Top", "Left", "Startup", "ComboIndex", "ComboSource", "Source Option Text", "Source Option Combo"};
        QCOMPARE(f.registryApi.writes, seven);
        QCOMPARE(f.stored(name::Startup) + f.stored(name::ComboIndex), std::string("True0"));
        QCOMPARE(f.stored(name::SourceOptionText) + f.stored(name::SourceOptionCombo), std::string("TrueFalse"));
        QCOMPARE(f.stored(name::Left), std::to_string(w.frameGeometry().x() * 15));

        w.showMinimized();
        QTRY_VERIFY(w.isMinimized());
        f.registryApi.writes.clear();
        w.Form_QueryUnload();
        QCOMPARE(f.registryApi.writes, std::vector<std::string>(seven.begin() + 2, seven.end()));
    }

    // Each step: the dialog's answer (none: cancel), then the border, the
    // stored colour, whether "Default" is enabled and where the dialog opened.
    void borderColourStates()
    {
        struct Step {
            const char* what;
            std::optional<quint32> answer;
            quint32 border;
            const char* stored;
            bool defaultEnabled;
            quint32 openedOn;
        };
        const Step steps[] = {
            {"green picked: stored, Default enabled all the same", 65280u, 65280u, "65280", true, 0u},
            {"cancel with green shown: Default disabled", std::nullopt, 65280u, "65280", false, 65280u},
            {"white picked", 16777215u, 16777215u, "16777215", true, 65280u},
            {"Default", std::nullopt, 65280u, "65280", false, 0u},
            {"cancel: the dialog opened on its last choice", std::nullopt, 65280u, "65280", false, 16777215u},
        };
        MainWindowFixture f;
        frmMain& w = f.open();
        for (const Step& step : steps) {
            if (QByteArray(step.what) == "Default") {
                w.menuDefaultcolor_Click();
            } else {
                f.platform.colorAnswers = {step.answer};
                w.menuChangeBorderColor_Click();
                QCOMPARE(f.platform.colorDialogs.back().color, step.openedOn);
                QCOMPARE(f.platform.colorDialogs.back().flags, 1);
                QVERIFY(f.platform.colorDialogs.back().cancelError);
            }
            QVERIFY2(w.Shape1->borderColor() == step.border, step.what);
            QVERIFY2(f.stored(name::BorderColor) == step.stored, step.what);
            QVERIFY2(defaultColorItem(w)->isEnabled() == step.defaultEnabled, step.what);
        }
    }

    // Hovering a label lights it, whitens its box and focuses and selects
    // it; hovering the frame resets; the source label leads to the list in
    // list mode.
    void hover()
    {
        MainWindowFixture f;
        frmMain& w = f.shown();
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

        w.lbSOURCEDESCRIPTION_MouseMove();
        QCOMPARE(backColor(w.Combo2), kWhite);
        QCOMPARE(backColor(w.txtSOURCE), kLightGrey);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.Combo2));
        w.lblTARGET_MouseMove();
        QCOMPARE(w.lblTARGET->toolTip(), QStringLiteral(" Click for list... "));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.Combo2));
    }

    // A right click on the frame pops up the colour menu without blocking;
    // a left click only hides the target list.
    void clicksOnTheFrame()
    {
        MainWindowFixture f;
        frmMain& w = f.shown();
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
        QVERIFY(QApplication::activePopupWidget() == nullptr && !w.Combo1->isVisible());
    }

    void captionsFit()
    {
        QApplication::setFont(resources::dialogFont());
        MainWindowFixture f;
        frmMain& w = f.open();
        // Every caption fits its control in the font the program runs with,
        // and the template row's labels do not run into each other.
        for (QPushButton* button : w.findChildren<QPushButton*>())
            QVERIFY2(button->fontMetrics().horizontalAdvance(button->text().remove('&')) + 8 <= button->width(),
                     qPrintable(button->objectName()));
        w.Combo1->setCurrentIndex(1); // the longest target
        w.Combo1_Click();
        const QList<QLabel*> row{
            w.lblHREF, w.lblURL, w.lblTARGET, w.lblDESCRIPTION, w.lblSOURCE, w.lbSOURCEDESCRIPTION, w.lblENDTAG};
        for (int i = 0; i + 1 < row.size(); ++i)
            QVERIFY2(row[i]->geometry().right() < row[i + 1]->geometry().left(), qPrintable(row[i]->objectName()));
        QVERIFY(w.lblENDTAG->geometry().right() < w.Shape1->geometry().right());
    }
};

QTEST_MAIN(TestLifecycle)
#include "tst_lifecycle.moc"
