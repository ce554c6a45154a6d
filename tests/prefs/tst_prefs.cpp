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

private slots:
    void init();
    void loadsAndStoresOnClosing_data();
    void loadsAndStoresOnClosing();
    void locateButtons_data();
    void locateButtons();
    void lowerCaseOnlyForTheSameFile_data();
    void lowerCaseOnlyForTheSameFile();
    void highlightShowsAndEndsWithTheWindow();
    void tooltipFollowsTextAndTextsFit();

private:
    // The stored text; "<missing>" when there is no value at all.
    QString stored(const char* valueName) const
    {
        for (const auto& [key, values] : m_api.keys)
            if (values.count(valueName))
                return QString::fromStdString(values.at(valueName));
        return QStringLiteral("<missing>");
    }

    test::MemoryRegistryApi m_api;
    registry::Registry m_registry{m_api, [](const std::string&, int, const std::string&) {}};
    settings::Settings m_settings{m_registry};
    test::FakePlatform m_platform;
    QWidget m_owner;
};

void TestPrefs::init()
{
    m_api.keys.clear();
    m_settings.createKey();
    m_platform = test::FakePlatform();
}

void TestPrefs::loadsAndStoresOnClosing_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Done! button") << "done";
    QTest::newRow("Enter presses Done!") << "enter";
    QTest::newRow("close box") << "closebox";
    QTest::newRow("Esc does nothing") << "escape";
}

void TestPrefs::loadsAndStoresOnClosing()
{
    QFETCH(QString, how);
    m_settings.writePath(name::Browser, QStringLiteral("Error")); // the registry's answer for a missing value
    m_settings.writePath(name::Editor, QStringLiteral("/usr/bin/ed"));
    m_platform.openAnswers.push_back(QStringLiteral("/srv/page.html"));

    QPointer<frmPrefs> window = new frmPrefs(m_platform, m_settings, &m_owner);
    QCOMPARE(QStringList({window->browserPath(), window->editorPath(), window->htmlPath()}),
             QStringList({"", "/usr/bin/ed", ""})); // HTMLfile was never stored
    QCOMPARE(stored(name::HTMLfile), QStringLiteral("<missing>"));
    bool openAfterEscape = false;
    QObject context;
    QTimer::singleShot(0, &context, [&] {
        auto* dialog = qobject_cast<frmPrefs*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        QTest::mouseClick(dialog->findChild<QPushButton*>("cmdLocateHTMLfile"), Qt::LeftButton);
        if (how == "escape") {
            QTest::keyClick(dialog, Qt::Key_Escape);
            openAfterEscape = dialog->isVisible() && stored(name::HTMLfile) == "<missing>";
        }
        if (how == "enter")
            QTest::keyClick(dialog->findChild<QLineEdit*>("txtEditorPath"), Qt::Key_Return);
        else if (how == "closebox")
            dialog->close();
        else
            QTest::mouseClick(dialog->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
    });
    window->exec();

    QTRY_VERIFY(window.isNull());
    QCOMPARE(openAfterEscape, how == "escape");
    QCOMPARE(stored(name::Browser), QString()); // the "Error" shown empty is stored empty
    QCOMPARE(stored(name::Editor), QStringLiteral("/usr/bin/ed"));
    QCOMPARE(stored(name::HTMLfile), QStringLiteral("/srv/page.html"));
}

void TestPrefs::locateButtons_data()
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

void TestPrefs::locateButtons()
{
    QFETCH(QString, button);
    QFETCH(QString, filter);
    QFETCH(QString, title);
    m_platform.openAnswers = {QStringLiteral("/picked/first"), std::nullopt};
    frmPrefs window(m_platform, m_settings, &m_owner);
    auto* locate = window.findChild<QPushButton*>(button);
    const auto fieldText = [&] { return QStringList{window.browserPath(), window.editorPath(), window.htmlPath()}; };
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

    const QStringList initDirs{"/opt/anchorly", "/moved/app", "/moved/app"};
    QCOMPARE(m_platform.openDialogs.size(), size_t(3));
    for (int i = 0; i < 3; ++i) {
        const FileOpenDialog& seen = m_platform.openDialogs[size_t(i)];
        QCOMPARE(seen.filter, filter);
        QCOMPARE(seen.flags, 4);
        QCOMPARE(seen.title, title);
        QCOMPARE(seen.initDir, initDirs[i]);
        QCOMPARE(seen.fileName, QString()); // emptied after the pick, so a cancel cannot repeat it
    }
}

void TestPrefs::lowerCaseOnlyForTheSameFile_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("besideIt"); // "other:<name>" another file, "link:<name>" a second name of it
    QTest::addColumn<bool>("lowerCased");
    QTest::newRow("no lower-case file: kept as chosen") << "MyBrowser.EXE"
                                                        << "" << false;
    QTest::newRow("lower case names another file") << "MyBrowser.EXE"
                                                   << "other:mybrowser.exe" << false;
    QTest::newRow("lower case names the same file") << "MyBrowser.EXE"
                                                    << "link:mybrowser.exe" << true;
    QTest::newRow("already lower case") << "browser.exe"
                                        << "" << true;
}

void TestPrefs::lowerCaseOnlyForTheSameFile()
{
    QFETCH(QString, chosen);
    QFETCH(QString, besideIt);
    QFETCH(bool, lowerCased);

    // A real folder whose own path survives lower-casing.
    const QString folder = QDir::tempPath() + "/anchorly-prefs-" + QString::number(QCoreApplication::applicationPid());
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

void TestPrefs::highlightShowsAndEndsWithTheWindow()
{
    QPointer<frmPrefs> window = new frmPrefs(m_platform, m_settings, &m_owner);
    const QColor standard = frmPrefs::buttonColour(window->cmdLocateEditor());
    QCOMPARE(standard, QApplication::palette().color(QPalette::Button));
    window->setLocateHighlight(window->cmdLocateEditor(), true);
    window->show();

    // The colour must show on screen, not only sit in a property.
    const QImage image = window->cmdLocateEditor()->grab().toImage();
    const QColor shown = image.pixelColor(6, image.height() / 2);
    QVERIFY2(shown.green() > 200 && shown.green() - shown.red() > 100 && shown.green() - shown.blue() > 100,
             qPrintable(shown.name()));

    window->close();
    QTRY_VERIFY(window.isNull());
    frmPrefs next(m_platform, m_settings, &m_owner);
    QCOMPARE(frmPrefs::buttonColour(next.cmdLocateEditor()), standard);
}

void TestPrefs::tooltipFollowsTextAndTextsFit()
{
    const QString longPath = QStringLiteral("/a/very/long/path/that/does/not/fit/into/the/field/at/all/browser.bin");
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
        const QSize needed = button ? QSize(button->fontMetrics().horizontalAdvance(button->text()) + 8,
                                            button->fontMetrics().height() + 4)
                                    : control->sizeHint();
        if (qobject_cast<QLabel*>(control) || button)
            QVERIFY2(needed.width() <= control->width() && needed.height() <= control->height(),
                     qPrintable(control->objectName()));
    }
    QVERIFY(QFontMetrics(browser->font()).height() + 4 <= browser->height());
}

QTEST_MAIN(TestPrefs)
#include "tst_prefs.moc"
