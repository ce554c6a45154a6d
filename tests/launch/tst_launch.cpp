// Starting the browser and editor through the desktop's real program start,
// on real files: scripts that record their arguments, a missing program, a
// file without execute permission and locations with blanks. Message boxes
// are recorded, not shown, and checked to the character.

#include "fakes/FakePlatform.h"
#include "fakes/TestFiles.h"
#include "launch/Launch.h"
#include "platform/QtPlatform.h"

#include <QTemporaryDir>
#include <QTest>

using namespace anchorly;
using anchorly::launch::Outcome;

Q_DECLARE_METATYPE(anchorly::launch::Outcome)

namespace {

// Real program start, recorded message boxes.
class ShellPlatform : public test::FakePlatform {
public:
    void shell(const QString& commandLine, int windowStyle) override
    {
        shells.push_back({commandLine, windowStyle});
        m_real.shell(commandLine, windowStyle);
    }
    QtPlatform m_real;
};

const QString kNeverRan = QStringLiteral("<never ran>");
const QString kPrefsPrompt = QStringLiteral(
    "Please check your preferences...\r\nSome files may be misplaced: locate your files again to solve the problem.");
const QString kNotAProgram = QStringLiteral("An Error was generated:\r\nDescription: Error 70 - ");

} // namespace

class TestLaunch : public QObject {
    Q_OBJECT
private slots:
    void start_data();
    void start();
};

void TestLaunch::start_data()
{
    QTest::addColumn<QString>("command"); // browser, editor or both
    QTest::addColumn<QString>("browser"); // locations relative to the folder; "" stays empty
    QTest::addColumn<QString>("editor");
    QTest::addColumn<QString>("html");
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<QString>("browserArgs"); // what the script recorded, "[arg]" a line
    QTest::addColumn<QString>("editorArgs");
    QTest::addColumn<QString>("prompt"); // the whole prompt, or its start for the unexpected error
    QTest::addColumn<QString>("title");

    const auto row = [](const char* name, const char* command, const char* browser, const char* editor,
                        const char* html, Outcome outcome, const QString& browserArgs, const QString& editorArgs,
                        const QString& prompt = {}, const char* title = "") {
        QTest::newRow(name) << command << browser << editor << html << outcome << browserArgs << editorArgs << prompt
                            << title;
    };
    // "edit it" sits in "My Tools": only the program that exists tells where the command line splits.
    const char *b = "browser", *e = "My Tools/edit it";
    const QString n = kNeverRan, page = "[<dir>/x.html]\n", blanks = "[<dir>/my page.html]\n";
    row("browser alone, no argument", "browser", b, e, "x.html", Outcome::Started, "", n);
    row("editor alone, blanks in its path", "editor", b, e, "x.html", Outcome::Started, n, "");
    row("browser empty", "browser", "", e, "", Outcome::NeedsLocation, n, n, "Locate your browser please...",
        "No browser defined:");
    row("editor missing", "editor", b, "gone", "", Outcome::NeedsLocation, n, n, "Locate your editor please...",
        "No editor defined:");
    row("browser not executable", "browser", "plain", e, "", Outcome::Failed, n, n, kNotAProgram, "Error");
    row("both, document with blanks", "both", b, e, "my page.html", Outcome::Started, blanks, blanks);
    row("both, no document", "both", b, e, "", Outcome::Started, "", "");
    row("both, browser missing: editor not started", "both", "gone", e, "x.html", Outcome::Failed, n, n, kPrefsPrompt,
        "Error in preferences:");
    row("both, editor missing after the browser", "both", b, "gone", "x.html", Outcome::Failed, page, n, kPrefsPrompt,
        "Error in preferences:");
    row("both, browser not executable", "both", "plain", e, "x.html", Outcome::Failed, n, n, kNotAProgram, "Error");
}

void TestLaunch::start()
{
    QFETCH(QString, command);
    QFETCH(QString, browser);
    QFETCH(QString, editor);
    QFETCH(QString, html);
    QFETCH(Outcome, outcome);
    QFETCH(QString, browserArgs);
    QFETCH(QString, editorArgs);
    QFETCH(QString, prompt);
    QFETCH(QString, title);

    QTemporaryDir dir;
    const auto inDir = [&](const QString& name) { return name.isEmpty() ? QString() : dir.filePath(name); };
    for (const QString script : {"browser", "My Tools/edit it", "plain"})
        QVERIFY(test::writeBytes(inDir(script),
                                 "#!/bin/sh\n{ for a in \"$@\"; do printf '[%s]\\n' \"$a\"; done; } >\"$0.tmp\" && "
                                 "mv \"$0.tmp\" \"$0.args\"\n",
                                 script != "plain"));

    ShellPlatform platform;
    Outcome got = Outcome::Failed;
    if (command == "browser")
        got = launch::startBrowser(platform, inDir(browser));
    else if (command == "editor")
        got = launch::startEditor(platform, inDir(editor));
    else
        got = launch::startBoth(platform, inDir(browser), inDir(editor), inDir(html));
    QCOMPARE(got, outcome);

    for (const auto& [program, expected] : {std::pair{browser, browserArgs}, std::pair{editor, editorArgs}}) {
        const QString record = inDir(program) + ".args";
        if (expected == kNeverRan) // a program that was never started leaves nothing to wait for
            QVERIFY2(!QFile::exists(record), qPrintable(program));
        else {
            QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(record), 10000);
            QCOMPARE(QString::fromLocal8Bit(test::readBytes(record)), QString(expected).replace("<dir>", dir.path()));
        }
    }
    for (const auto& call : platform.shells)
        QCOMPARE(call.windowStyle, 1);
    if (prompt.isEmpty()) {
        QVERIFY(platform.msgBoxes.empty());
        return;
    }
    QCOMPARE(platform.msgBoxes.size(), size_t(1));
    const auto& box = platform.msgBoxes[0];
    if (prompt == kNotAProgram)
        QVERIFY2(box.prompt.startsWith(prompt), qPrintable(box.prompt));
    else
        QCOMPARE(box.prompt, prompt);
    QCOMPARE(box.style, title == "Error" ? 0 : 48);
    QCOMPARE(box.title, title);
}

QTEST_GUILESS_MAIN(TestLaunch)
#include "tst_launch.moc"
