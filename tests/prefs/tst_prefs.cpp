// The preferences window over a real settings store in memory: loading,
// storing on every way of closing, the locate buttons and the rule that
// keeps a lower-cased location only when it still names the chosen file.

#include "fakes/FakePlatform.h"
#include "fakes/MemoryRegistryApi.h"
#include "fakes/TestFiles.h"
#include "prefs/frmPrefs.h"
#include "settings/Registry.h"
#include "settings/Settings.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <unistd.h>

using namespace anchorly;
namespace name = anchorly::settings::name;

class TestPrefs : public QObject {
    Q_OBJECT

    // The stored text; "Error" when there is no value at all.
    QString stored(const char* valueName)
    {
        return QString::fromStdString(m_registry.GetStringValue(settings::kKeyPath, valueName).value_or(""));
    }

    test::MemoryRegistryApi m_api;
    registry::Registry m_registry{m_api, [](const std::string&, int, const std::string&) {}};
    settings::Settings m_settings{m_registry};
    test::FakePlatform m_platform;
    QWidget m_owner;

private slots:
    void init()
    {
        m_api.keys.clear();
        m_settings.createKey();
        m_platform = test::FakePlatform();
    }

    // Every way of closing stores; the highlight shows on screen and ends with the window.
    void loadsAndStoresOnClosing_data()
    {
        QTest::addColumn<QString>("how");
        for (const char* how : {"Done! button", "Enter presses Done!", "close box", "Esc does nothing"})
            QTest::newRow(how) << QString::fromLatin1(how).section(' ', 0, 0);
    }
    void loadsAndStoresOnClosing()
    {
        QFETCH(QString, how);
        m_settings.writePath(name::Browser, QStringLiteral("Error")); // the registry's answer for a missing value
        m_settings.writePath(name::Editor, QStringLiteral("/usr/bin/ed"));
        m_platform.openAnswers.push_back(QStringLiteral("/srv/page.html"));

        QPointer<frmPrefs> window = new frmPrefs(m_platform, m_settings, &m_owner);
        QCOMPARE(QStringList({window->browserPath(), window->editorPath(), window->htmlPath()}),
                 QStringList({"", "/usr/bin/ed", ""})); // HTMLfile was never stored
        QCOMPARE(stored(name::HTMLfile), QStringLiteral("Error"));
        const QColor standard = frmPrefs::buttonColour(window->cmdLocateEditor());
        QCOMPARE(standard, QApplication::palette().color(QPalette::Button));
        window->setLocateHighlight(window->cmdLocateEditor(), true);
        bool openAfterEscape = false;
        QColor shown;
        QObject context;
        QTimer::singleShot(0, &context, [&] {
            auto* dialog = qobject_cast<frmPrefs*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            const QImage image = dialog->cmdLocateEditor()->grab().toImage(); // on screen, not only in a property
            shown = image.pixelColor(6, image.height() / 2);
            QTest::mouseClick(dialog->findChild<QPushButton*>("cmdLocateHTMLfile"), Qt::LeftButton);
            if (how == "Esc") {
                QTest::keyClick(dialog, Qt::Key_Escape);
                openAfterEscape = dialog->isVisible() && stored(name::HTMLfile) == "Error";
            }
            if (how == "Enter")
                QTest::keyClick(dialog->findChild<QLineEdit*>("txtEditorPath"), Qt::Key_Return);
            else if (how == "close")
                dialog->close();
            else
                QTest::mouseClick(dialog->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
        });
        window->exec();

        QTRY_VERIFY(window.isNull());
        QCOMPARE(openAfterEscape, how == "Esc");
        QVERIFY2(shown.green() > 200 && shown.green() - shown.red() > 100 && shown.green() - shown.blue() > 100,
                 qPrintable(shown.name()));
        QCOMPARE(stored(name::Browser), QString()); // the "Error" shown empty is stored empty
        QCOMPARE(stored(name::Editor), QStringLiteral("/usr/bin/ed"));
        QCOMPARE(stored(name::HTMLfile), QStringLiteral("/srv/page.html"));
        frmPrefs next(m_platform, m_settings, &m_owner);
        QCOMPARE(frmPrefs::buttonColour(next.cmdLocateEditor()), standard);
    }

    void locateButtons_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("title");
        const QString programs = QStringLiteral("Program files (*.exe)|*.exe");
        QTest::newRow("browser") << "cmdLocateBrowser" << programs << "Locate your Browser";
        QTest::newRow("editor") << "cmdLocateEditor" << programs << "Locate your Editor";
        QTest::newRow("HTML file") << "cmdLocateHTMLfile"
                                   << "All Files (*.*)|*.*|"
                                   << "Locate your HTML file";
    }
    void locateButtons()
    {
        QFETCH(QString, button);
        QFETCH(QString, filter);
        QFETCH(QString, title);
        m_platform.openAnswers = {QStringLiteral("/picked/first"), std::nullopt};
        frmPrefs window(m_platform, m_settings, &m_owner);
        auto* locate = window.findChild<QPushButton*>(button);
        const auto fieldText = [&] {
            return QStringList{window.browserPath(), window.editorPath(), window.htmlPath()};
        };
        const QColor standard = frmPrefs::buttonColour(locate);

        window.setLocateHighlight(locate, true);
        QTest::mouseClick(locate, Qt::LeftButton); // a pick ends the highlight
        QVERIFY(fieldText().contains("/picked/first"));
        QCOMPARE(frmPrefs::buttonColour(locate), standard);

        window.setLocateHighlight(locate, true);
        m_platform.appFolder = QStringLiteral("/moved/app");
        QTest::mouseClick(locate, Qt::LeftButton); // a cancel changes nothing
        QVERIFY(fieldText().contains("/picked/first"));
        QCOMPARE(frmPrefs::buttonColour(locate), QColor(0, 255, 0));

        m_platform.openError = RuntimeError(errnum::ComponentFailure, QStringLiteral("No dialog"));
        QTest::mouseClick(locate, Qt::LeftButton); // a failing dialog is reported, the field kept
        QVERIFY(fieldText().contains("/picked/first"));
        QCOMPARE(m_platform.msgBoxes.size(), size_t(1));
        QCOMPARE(m_platform.msgBoxes[0].prompt, unexpectedErrorMessage(*m_platform.openError));

        // The file name is emptied after the pick, so a cancel cannot repeat it.
        const QStringList initDirs{"/opt/anchorly", "/moved/app", "/moved/app"};
        QCOMPARE(m_platform.openDialogs.size(), size_t(3));
        for (int i = 0; i < 3; ++i) {
            const FileOpenDialog& seen = m_platform.openDialogs[size_t(i)];
            QCOMPARE(QStringList({seen.filter, seen.title, seen.initDir, seen.fileName}),
                     QStringList({filter, title, initDirs[i], ""}));
            QCOMPARE(seen.flags, 4);
        }
    }

    void lowerCaseOnlyForTheSameFile_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("besideIt"); // "other:<name>" another file, "link:<name>" a second name of it
        QTest::addColumn<bool>("lowerCased");
        const auto row = [](const char* name, const char* chosen, const char* besideIt, bool lowerCased) {
            QTest::newRow(name) << chosen << besideIt << lowerCased;
        };
        row("no lower-case file: kept as chosen", "MyBrowser.EXE", "", false);
        row("lower case names another file", "MyBrowser.EXE", "other:mybrowser.exe", false);
        row("lower case names the same file", "MyBrowser.EXE", "link:mybrowser.exe", true);
        row("already lower case", "browser.exe", "", true);
    }
    void lowerCaseOnlyForTheSameFile()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, besideIt);
        QFETCH(bool, lowerCased);

        // A real folder whose own path survives lower-casing.
        const QString folder =
            QDir::tempPath() + "/anchorly-prefs-" + QString::number(QCoreApplication::applicationPid());
        if (folder != folder.toLower())
            QSKIP("the temporary folder's path has capitals");
        QDir(folder).removeRecursively();
        const QString path = folder + '/' + chosen;
        QVERIFY(test::writeBytes(path, ""));
        if (chosen != chosen.toLower() && QFile::exists(path.toLower()))
            QSKIP("the temporary folder does not tell letter case apart");
        const QString second = folder + '/' + besideIt.section(':', 1);
        QVERIFY(!besideIt.startsWith("other:") || test::writeBytes(second, ""));
        QVERIFY(!besideIt.startsWith("link:") || ::link(QFile::encodeName(path), QFile::encodeName(second)) == 0);

        m_platform.openAnswers.push_back(path);
        frmPrefs window(m_platform, m_settings, &m_owner);
        QTest::mouseClick(window.cmdLocateBrowser(), Qt::LeftButton);
        QDir(folder).removeRecursively();
        QCOMPARE(window.browserPath(), lowerCased ? path.toLower() : path);
    }

    void tooltipFollowsTextAndTextsFit()
    {
        const QString longPath =
            QStringLiteral("/a/very/long/path/that/does/not/fit/into/the/field/at/all/browser.bin");
        m_settings.writePath(name::Browser, longPath);
        frmPrefs window(m_platform, m_settings, &m_owner);
        auto* browser = window.findChild<QLineEdit*>("txtBrowserPath");
        auto* editor = window.findChild<QLineEdit*>("txtEditorPath");
        editor->setToolTip(QStringLiteral("stale"));
        for (QLineEdit* field : {browser, editor}) {
            QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), field->mapToGlobal(QPointF(5, 5)), Qt::NoButton,
                             Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(field, &move);
        }
        QCOMPARE(browser->toolTip(), longPath);
        QCOMPARE(editor->toolTip(), QString());

        // Every text fits its control in the font in use.
        for (QWidget* control : window.findChildren<QWidget*>()) {
            const auto* button = qobject_cast<QPushButton*>(control);
            const QFontMetrics metrics = control->fontMetrics();
            const QSize needed = button ? QSize(metrics.horizontalAdvance(button->text()) + 8, metrics.height() + 4)
                                        : control->sizeHint();
            if (qobject_cast<QLabel*>(control) || button)
                QVERIFY2(control->size().expandedTo(needed) == control->size(), qPrintable(control->objectName()));
        }
        QVERIFY(QFontMetrics(browser->font()).height() + 4 <= browser->height());
    }
};

QTEST_MAIN(TestPrefs)
#include "tst_prefs.moc"
