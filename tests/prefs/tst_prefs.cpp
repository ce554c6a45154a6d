// The preferences window over a real settings store in memory: loading,
// storing on every way of closing, the locate buttons and the rule that
// keeps a lower-cased location only when it still names the chosen file.

#include "fakes/FakePlatform.h"
#include "fakes/MemoryRegistryApi.h"
#include "prefs/frmPrefs.h"
#include "settings/Registry.h"
#include "settings/Settings.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <optional>
#include <unistd.h>

using namespace anchorly;
using anchorly::test::FakePlatform;
using anchorly::test::MemoryRegistryApi;

class TestPrefs : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void loadsStoredLocations_data();
    void loadsStoredLocations();
    void storesOnClosing_data();
    void storesOnClosing();
    void locateButtons_data();
    void locateButtons();
    void dialogFailureLeavesField();
    void lowerCaseOnlyForTheSameFile_data();
    void lowerCaseOnlyForTheSameFile();
    void highlightShowsAndEndsWithTheWindow();
    void tooltipFollowsText();
    void textsFitTheirControls();

private:
    std::optional<std::string> stored(const char* valueName) const;
    QString fieldText(frmPrefs* window, const char* name) const
    {
        return window->findChild<QLineEdit*>(QLatin1String(name))->text();
    }

    std::unique_ptr<MemoryRegistryApi> m_api;
    std::unique_ptr<registry::Registry> m_registry;
    std::unique_ptr<settings::Settings> m_settings;
    std::unique_ptr<FakePlatform> m_platform;
    QWidget m_owner;
    QString m_lowerFolder;
};

void TestPrefs::init()
{
    m_api = std::make_unique<MemoryRegistryApi>();
    m_registry = std::make_unique<registry::Registry>(*m_api, [](const std::string&, int, const std::string&) {});
    m_settings = std::make_unique<settings::Settings>(*m_registry);
    m_settings->createKey();
    m_platform = std::make_unique<FakePlatform>();
}

void TestPrefs::cleanup()
{
    if (!m_lowerFolder.isEmpty())
        QDir(m_lowerFolder).removeRecursively();
    m_lowerFolder.clear();
}

std::optional<std::string> TestPrefs::stored(const char* valueName) const
{
    for (const auto& [key, values] : m_api->keys) {
        const auto value = values.find(valueName);
        if (value != values.end())
            return value->second;
    }
    return std::nullopt;
}

// --- loading -----------------------------------------------------------------
void TestPrefs::loadsStoredLocations_data()
{
    QTest::addColumn<QString>("storedBrowser"); // "<missing>": no value at all
    QTest::addColumn<QString>("field");

    QTest::newRow("missing value") << "<missing>" << "";
    QTest::newRow("stored Error") << "Error" << "";
    QTest::newRow("only exact Error is empty") << "error" << "error";
    QTest::newRow("path with blanks") << "/opt/My Browser/run it" << "/opt/My Browser/run it";
}

void TestPrefs::loadsStoredLocations()
{
    QFETCH(QString, storedBrowser);
    QFETCH(QString, field);
    if (storedBrowser != "<missing>")
        m_settings->writePath(settings::name::Browser, storedBrowser);
    m_settings->writePath(settings::name::HTMLfile, QStringLiteral("/home/u/links.html"));

    QPointer<frmPrefs> window = new frmPrefs(*m_platform, *m_settings, &m_owner);
    QCOMPARE(window->browserPath(), field);
    QCOMPARE(window->editorPath(), QString());
    QCOMPARE(window->htmlPath(), QStringLiteral("/home/u/links.html"));
    QVERIFY(!window->isVisible());
    delete window;
    QVERIFY(!stored(settings::name::Editor)); // a window that never closed stores nothing
}

// --- storing -------------------------------------------------------------------
void TestPrefs::storesOnClosing_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Done! button") << "done";
    QTest::newRow("Enter presses Done!") << "enter";
    QTest::newRow("close box") << "closebox";
    QTest::newRow("Esc first does nothing") << "escape";
}

void TestPrefs::storesOnClosing()
{
    QFETCH(QString, how);
    const QString row = how;
    m_settings->writePath(settings::name::Browser, QStringLiteral("Error"));
    m_settings->writePath(settings::name::Editor, QStringLiteral("/usr/bin/ed"));
    m_platform->openAnswers.push_back(QStringLiteral("/srv/page.html"));

    QPointer<frmPrefs> window = new frmPrefs(*m_platform, *m_settings, &m_owner);
    bool stillOpenAfterEscape = false;
    std::optional<std::string> storedDuringEscape;
    QObject context;
    QTimer::singleShot(0, &context, [&] {
        auto* dialog = qobject_cast<frmPrefs*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        QTest::mouseClick(dialog->findChild<QPushButton*>("cmdLocateHTMLfile"), Qt::LeftButton);
        if (how == "escape") {
            QTest::keyClick(dialog, Qt::Key_Escape);
            stillOpenAfterEscape = dialog->isVisible();
            storedDuringEscape = stored(settings::name::HTMLfile);
            how = "done";
        }
        if (how == "done")
            QTest::mouseClick(dialog->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
        else if (how == "enter")
            QTest::keyClick(dialog->findChild<QLineEdit*>("txtEditorPath"), Qt::Key_Return);
        else
            dialog->close();
    });
    window->exec();

    QTRY_VERIFY(window.isNull());
    if (row == "escape") {
        QVERIFY(stillOpenAfterEscape);
        QVERIFY(!storedDuringEscape);
    }
    QCOMPARE(stored(settings::name::Browser), std::optional<std::string>(""));
    QCOMPARE(stored(settings::name::Editor), std::optional<std::string>("/usr/bin/ed"));
    QCOMPARE(stored(settings::name::HTMLfile), std::optional<std::string>("/srv/page.html"));
}

// --- the locate buttons ----------------------------------------------------------
void TestPrefs::locateButtons_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("title");

    const QString programs = QStringLiteral("Program files (*.exe)|*.exe");
    QTest::newRow("browser") << "cmdLocateBrowser" << "txtBrowserPath" << programs << "Locate your Browser";
    QTest::newRow("editor") << "cmdLocateEditor" << "txtEditorPath" << programs << "Locate your Editor";
    QTest::newRow("HTML file") << "cmdLocateHTMLfile" << "txtHTMLpath" << "All Files (*.*)|*.*|"
                               << "Locate your HTML file";
}

void TestPrefs::locateButtons()
{
    QFETCH(QString, button);
    QFETCH(QString, field);
    QFETCH(QString, filter);
    QFETCH(QString, title);
    m_platform->openAnswers = {QStringLiteral("/picked/first"), std::nullopt, QStringLiteral("/picked/second")};

    frmPrefs window(*m_platform, *m_settings, &m_owner);
    auto* locate = window.findChild<QPushButton*>(button);
    const QColor standard = frmPrefs::buttonColour(locate);
    window.setLocateHighlight(locate, true);

    QTest::mouseClick(locate, Qt::LeftButton); // pick
    QCOMPARE(fieldText(&window, qPrintable(field)), QStringLiteral("/picked/first"));
    QCOMPARE(frmPrefs::buttonColour(locate), standard);

    window.setLocateHighlight(locate, true);
    m_platform->appFolder = QStringLiteral("/moved/app");
    QTest::mouseClick(locate, Qt::LeftButton); // cancel
    QCOMPARE(fieldText(&window, qPrintable(field)), QStringLiteral("/picked/first"));
    QCOMPARE(frmPrefs::buttonColour(locate), QColor(0, 255, 0));

    m_platform->appFolder = QStringLiteral("/opt/anchorly");
    QTest::mouseClick(locate, Qt::LeftButton); // pick again
    QCOMPARE(fieldText(&window, qPrintable(field)), QStringLiteral("/picked/second"));

    QCOMPARE(m_platform->openDialogs.size(), size_t(3));
    const QStringList initDirs{"/opt/anchorly", "/moved/app", "/opt/anchorly"};
    for (size_t i = 0; i < 3; ++i) {
        const FileOpenDialog& seen = m_platform->openDialogs[i];
        QCOMPARE(seen.filter, filter);
        QCOMPARE(seen.flags, 4);
        QCOMPARE(seen.title, title);
        QCOMPARE(seen.initDir, initDirs[int(i)]);
        QCOMPARE(seen.fileName, QString()); // emptied after the pick, so a cancel cannot repeat it
    }
    QVERIFY(m_platform->msgBoxes.empty());
}

void TestPrefs::dialogFailureLeavesField()
{
    m_settings->writePath(settings::name::Editor, QStringLiteral("/usr/bin/ed"));
    m_platform->openError = RuntimeError(errnum::ComponentFailure, QStringLiteral("No dialog"));
    frmPrefs window(*m_platform, *m_settings, &m_owner);

    QTest::mouseClick(window.cmdLocateEditor(), Qt::LeftButton);

    QCOMPARE(window.editorPath(), QStringLiteral("/usr/bin/ed"));
    QCOMPARE(m_platform->msgBoxes.size(), size_t(1));
    QCOMPARE(m_platform->msgBoxes[0].prompt, unexpectedErrorMessage(*m_platform->openError));
    QCOMPARE(m_platform->msgBoxes[0].title, QStringLiteral("Error"));
}

// --- lower case, on a real case-sensitive folder -------------------------------------
void TestPrefs::lowerCaseOnlyForTheSameFile_data()
{
    QTest::addColumn<QString>("chosen");    // file names in the folder, the first the one picked
    QTest::addColumn<QString>("otherFile"); // another file created beside it; empty for none
    QTest::addColumn<QString>("hardLink");  // a second name of the chosen file; empty for none
    QTest::addColumn<bool>("lowerCased");

    QTest::newRow("no lower-case file: kept as chosen") << "MyBrowser.EXE" << "" << "" << false;
    QTest::newRow("lower case names another file") << "MyBrowser.EXE" << "mybrowser.exe" << "" << false;
    QTest::newRow("lower case names the same file") << "MyBrowser.EXE" << "" << "mybrowser.exe" << true;
    QTest::newRow("already lower case") << "browser.exe" << "" << "" << true;
}

void TestPrefs::lowerCaseOnlyForTheSameFile()
{
    QFETCH(QString, chosen);
    QFETCH(QString, otherFile);
    QFETCH(QString, hardLink);
    QFETCH(bool, lowerCased);

    // The folder's own path must survive lower-casing.
    m_lowerFolder = QDir::tempPath() + "/anchorly-prefs-" + QString::number(QCoreApplication::applicationPid());
    if (m_lowerFolder != m_lowerFolder.toLower())
        QSKIP("the temporary folder's path has capitals");
    QVERIFY(QDir().mkpath(m_lowerFolder));
    const QString path = m_lowerFolder + '/' + chosen;
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    if (chosen != chosen.toLower() && QFile::exists(path.toLower()))
        QSKIP("the temporary folder does not tell letter case apart");
    if (!otherFile.isEmpty()) {
        QFile other(m_lowerFolder + '/' + otherFile);
        QVERIFY(other.open(QIODevice::WriteOnly));
    }
    if (!hardLink.isEmpty())
        QCOMPARE(::link(QFile::encodeName(path).constData(), QFile::encodeName(m_lowerFolder + '/' + hardLink).constData()), 0);

    m_platform->openAnswers.push_back(path);
    frmPrefs window(*m_platform, *m_settings, &m_owner);
    QTest::mouseClick(window.cmdLocateBrowser(), Qt::LeftButton);

    QCOMPARE(window.browserPath(), lowerCased ? path.toLower() : path);
}

// --- highlight, tooltips, layout ----------------------------------------------------------
void TestPrefs::highlightShowsAndEndsWithTheWindow()
{
    QPointer<frmPrefs> window = new frmPrefs(*m_platform, *m_settings, &m_owner);
    const QColor standard = frmPrefs::buttonColour(window->cmdLocateEditor());
    QCOMPARE(standard, QApplication::palette().color(QPalette::Button));
    window->setLocateHighlight(window->cmdLocateEditor(), true);
    window->show();

    // The colour must show on screen, not only sit in a property.
    const QImage image = window->cmdLocateEditor()->grab().toImage();
    const QColor shown = image.pixelColor(6, image.height() / 2);
    QVERIFY2(shown.green() > 200 && shown.green() - shown.red() > 100 && shown.green() - shown.blue() > 100, qPrintable(shown.name()));
    QCOMPARE(frmPrefs::buttonColour(window->cmdLocateBrowser()), standard);

    window->close();
    QTRY_VERIFY(window.isNull());
    frmPrefs next(*m_platform, *m_settings, &m_owner);
    QCOMPARE(frmPrefs::buttonColour(next.cmdLocateEditor()), standard);
}

void TestPrefs::tooltipFollowsText()
{
    const QString longPath = QStringLiteral("/a/very/long/path/that/does/not/fit/into/the/field/at/all/browser.bin");
    m_settings->writePath(settings::name::Browser, longPath);
    frmPrefs window(*m_platform, *m_settings, &m_owner);
    window.show();
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
}

void TestPrefs::textsFitTheirControls()
{
    frmPrefs window(*m_platform, *m_settings, &m_owner);
    QCOMPARE(window.size(), QSize(530, 150));
    for (QLabel* label : window.findChildren<QLabel*>()) {
        QVERIFY2(label->sizeHint().width() <= label->width(), qPrintable(label->objectName()));
        QVERIFY2(label->sizeHint().height() <= label->height(), qPrintable(label->objectName()));
    }
    for (QPushButton* button : window.findChildren<QPushButton*>()) {
        const QFontMetrics metrics(button->font());
        QVERIFY2(metrics.horizontalAdvance(button->text()) + 8 <= button->width(), qPrintable(button->objectName()));
        QVERIFY2(metrics.height() + 4 <= button->height(), qPrintable(button->objectName()));
    }
    for (QLineEdit* field : window.findChildren<QLineEdit*>())
        QVERIFY2(QFontMetrics(field->font()).height() + 4 <= field->height(), qPrintable(field->objectName()));
}

QTEST_MAIN(TestPrefs)
#include "tst_prefs.moc"
