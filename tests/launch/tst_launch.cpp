// Starting the browser and editor, with a scripted platform: the command
// lines built, the messages shown to the character, and what each failure
// leads to.

#include "fakes/FakePlatform.h"
#include "launch/Launch.h"

#include <QTest>

using namespace anchorly;
using anchorly::launch::Outcome;
using anchorly::test::FakePlatform;

Q_DECLARE_METATYPE(anchorly::launch::Outcome)

namespace {
const QString kBrowserPrompt = QStringLiteral("Locate your browser please...");
const QString kEditorPrompt = QStringLiteral("Locate your editor please...");
const QString kPrefsPrompt = QStringLiteral(
    "Please check your preferences...\r\nSome files may be misplaced: locate your files again to solve the problem.");
} // namespace

class TestLaunch : public QObject {
    Q_OBJECT
private slots:
    void singleProgram_data();
    void singleProgram();
    void both_data();
    void both();
};

// --- browser alone and editor alone -----------------------------------------
void TestLaunch::singleProgram_data()
{
    QTest::addColumn<bool>("editor");
    QTest::addColumn<QString>("location");
    QTest::addColumn<int>("errorNumber"); // 0: the start succeeds
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<QString>("prompt"); // empty: no message
    QTest::addColumn<int>("style");
    QTest::addColumn<QString>("title");

    const QString unexpected = unexpectedErrorMessage(RuntimeError(70, QStringLiteral("Permission denied")));
    QTest::newRow("browser started, location unchanged")
        << false << "/opt/My Browser/run" << 0 << Outcome::Started << "" << 0 << "";
    QTest::newRow("browser empty location") << false << "" << 5 << Outcome::NeedsLocation << kBrowserPrompt << 48
                                            << "No browser defined:";
    QTest::newRow("browser missing") << false << "/nowhere/browser" << 53 << Outcome::NeedsLocation << kBrowserPrompt
                                     << 48 << "No browser defined:";
    QTest::newRow("browser not startable")
        << false << "/etc/passwd" << 70 << Outcome::Failed << unexpected << 0 << "Error";
    QTest::newRow("editor started") << true << "/usr/bin/ed" << 0 << Outcome::Started << "" << 0 << "";
    QTest::newRow("editor empty location")
        << true << "" << 5 << Outcome::NeedsLocation << kEditorPrompt << 48 << "No editor defined:";
    QTest::newRow("editor missing") << true << "/nowhere/editor" << 53 << Outcome::NeedsLocation << kEditorPrompt
                                    << 48 << "No editor defined:";
    QTest::newRow("editor not startable") << true << "/etc/passwd" << 70 << Outcome::Failed << unexpected << 0
                                          << "Error";
}

void TestLaunch::singleProgram()
{
    QFETCH(bool, editor);
    QFETCH(QString, location);
    QFETCH(int, errorNumber);
    QFETCH(Outcome, outcome);
    QFETCH(QString, prompt);
    QFETCH(int, style);
    QFETCH(QString, title);

    FakePlatform platform;
    if (errorNumber != 0)
        platform.shellErrors.insert(location, RuntimeError(errorNumber, QStringLiteral("Permission denied")));

    const Outcome got = editor ? launch::startEditor(platform, location) : launch::startBrowser(platform, location);

    QCOMPARE(got, outcome);
    QCOMPARE(platform.shells.size(), size_t(1));
    QCOMPARE(platform.shells[0].commandLine, location); // nothing added, never the HTML file
    QCOMPARE(platform.shells[0].windowStyle, 1);
    if (prompt.isEmpty()) {
        QVERIFY(platform.msgBoxes.empty());
        return;
    }
    QCOMPARE(platform.msgBoxes.size(), size_t(1));
    QCOMPARE(platform.msgBoxes[0].prompt, prompt);
    QCOMPARE(platform.msgBoxes[0].style, style);
    QCOMPARE(platform.msgBoxes[0].title, title);
}

// --- open both -----------------------------------------------------------------
void TestLaunch::both_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<int>("browserError");
    QTest::addColumn<int>("editorError");
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<QStringList>("commandLines");
    QTest::addColumn<QString>("prompt");
    QTest::addColumn<QString>("title");

    const QString b = QStringLiteral("/b/browser");
    const QString e = QStringLiteral("/e/editor");
    const QString unexpected = unexpectedErrorMessage(RuntimeError(70, QStringLiteral("Permission denied")));
    QTest::newRow("both started") << "/h/my page.html" << 0 << 0 << Outcome::Started
                                  << QStringList{b + " /h/my page.html", e + " /h/my page.html"} << "" << "";
    QTest::newRow("no HTML file keeps the blank")
        << "" << 0 << 0 << Outcome::Started << QStringList{b + " ", e + " "} << "" << "";
    QTest::newRow("browser missing: editor not started")
        << "/h/x.html" << 53 << 0 << Outcome::Failed << QStringList{b + " /h/x.html"} << kPrefsPrompt
        << "Error in preferences:";
    QTest::newRow("editor missing after the browser started")
        << "/h/x.html" << 0 << 5 << Outcome::Failed << QStringList{b + " /h/x.html", e + " /h/x.html"}
        << kPrefsPrompt << "Error in preferences:";
    QTest::newRow("browser not startable") << "/h/x.html" << 70 << 0 << Outcome::Failed
                                           << QStringList{b + " /h/x.html"} << unexpected << "Error";
    QTest::newRow("editor not startable")
        << "/h/x.html" << 0 << 70 << Outcome::Failed << QStringList{b + " /h/x.html", e + " /h/x.html"}
        << unexpected << "Error";
}

void TestLaunch::both()
{
    QFETCH(QString, html);
    QFETCH(int, browserError);
    QFETCH(int, editorError);
    QFETCH(Outcome, outcome);
    QFETCH(QStringList, commandLines);
    QFETCH(QString, prompt);
    QFETCH(QString, title);

    FakePlatform platform;
    const QString browser = QStringLiteral("/b/browser");
    const QString editor = QStringLiteral("/e/editor");
    const RuntimeError denied(70, QStringLiteral("Permission denied"));
    if (browserError != 0)
        platform.shellErrors.insert(browser + ' ' + html, RuntimeError(browserError, denied.description()));
    if (editorError != 0)
        platform.shellErrors.insert(editor + ' ' + html, RuntimeError(editorError, denied.description()));

    QCOMPARE(launch::startBoth(platform, browser, editor, html), outcome);

    QStringList started;
    for (const auto& call : platform.shells) {
        started << call.commandLine;
        QCOMPARE(call.windowStyle, 1);
    }
    QCOMPARE(started, commandLines);
    if (prompt.isEmpty()) {
        QVERIFY(platform.msgBoxes.empty());
        return;
    }
    QCOMPARE(platform.msgBoxes.size(), size_t(1));
    QCOMPARE(platform.msgBoxes[0].prompt, prompt);
    QCOMPARE(platform.msgBoxes[0].title, title);
    QCOMPARE(platform.msgBoxes[0].style, title == "Error" ? 0 : 48);
}

QTEST_GUILESS_MAIN(TestLaunch)
#include "tst_launch.moc"
