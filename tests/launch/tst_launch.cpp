// Starting the browser and editor through the desktop's real program start,
// on scripts that record their arguments, and that they run detached: stdin
// from /dev/null (ours is a pipe meanwhile), a session of their own, and none
// of our blocked or ignored signals or open descriptors (as a program bash
// starts sees them: dash clears the blocked ones, bash ignores SIGQUIT
// itself). The HTML file is such a script too: whatever the locations, it
// never runs.

#include "fakes/FakePlatform.h"
#include "fakes/TestFiles.h"
#include "launch/Launch.h"
#include "platform/QtPlatform.h"

#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <csignal>
#include <unistd.h>

using namespace anchorly;

namespace {

// Real program start, recorded message boxes; a start that raised nothing is
// recorded once it has been made, so that a program not recorded never runs.
struct ShellPlatform : test::FakePlatform {
    void shell(const QString& line, int style) override
    {
        QtPlatform().shell(line, style);
        FakePlatform::shell(line, style);
    }
};

const char* const kScripts[] = {"browser", "My Tools/edit it", "my page.html", "plain", "no shell", "bad sh", "junk"};

} // namespace

class TestLaunch : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        int pipeFds[2];
        QVERIFY(::pipe(pipeFds) == 0 && ::dup2(pipeFds[0], 0) == 0 && ::dup2(pipeFds[1], 90) == 90);
        sigset_t blocked;
        sigemptyset(&blocked), sigaddset(&blocked, SIGUSR1);
        QVERIFY(::sigprocmask(SIG_BLOCK, &blocked, nullptr) == 0 && ::signal(SIGHUP, SIG_IGN) != SIG_ERR);
    }

    void start_data()
    {
        // Locations of browser, editor, HTML file in the folder ("" stays empty); then the command.
        QTest::addColumn<QStringList>("locations");
        // The outcome (0 started, 1 to the preferences, 2 failed) # each script that ran, "name:[argument];"
        // # the message box, "style|title|prompt" up to a " - " (the unexpected error's description).
        QTest::addColumn<QString>("result");
        const auto row = [](const char* name, QStringList locations, const QString& result) {
            QTest::newRow(name) << locations << result;
        };
        const QString b = "browser", e = "My Tools/edit it", page = "my page.html", ran = "browser:[@/my page.html];";
        const QString check = "2#%1#48|Error in preferences:|Please check your preferences...\r\nSome files may be "
                              "misplaced: locate your files again to solve the problem.";
        const QString notAProgram = "2##0|Error|An Error was generated:\r\nDescription: Error 70";
        row("browser empty", {"", e, page, "browser"}, "1##48|No browser defined:|Locate your browser please...");
        row("editor missing", {b, "gone", "", "editor"}, "1##48|No editor defined:|Locate your editor please...");
        row("both, document with blanks", {b, e, page, "both"}, "0#" + ran + "My Tools/edit it:[@/my page.html];#");
        row("both, browser missing", {"gone", e, page, "both"}, check.arg(""));
        row("both, browser empty", {"", e, page, "both"}, check.arg(""));
        row("both, editor empty", {b, "", page, "both"}, check.arg(ran));
        row("both, browser not executable", {"plain", e, page, "both"}, notAProgram);
        // Executable, but the system cannot run it: its interpreter is missing (mend the location), or is no program.
        row("both, browser's interpreter missing", {"no shell", e, page, "both"}, check.arg(""));
        row("both, browser's interpreter not executable", {"bad sh", e, page, "both"}, notAProgram);
        row("both, browser in no known format", {"junk", e, page, "both"}, QString(notAProgram).replace("70", "75"));
    }
    void start()
    {
        QFETCH(QStringList, locations);
        QFETCH(QString, result);
        QTemporaryDir dir;
        const QMap<QString, QByteArray> odd = {
            {"no shell", "#!/nonexistent/sh\n"}, {"bad sh", "#!/dev/null\n"}, {"junk", "junk\n"}};
        for (const QString script : kScripts)
            QVERIFY(test::writeBytes(
                dir.filePath(script),
                odd.value(script,
                          "#!/bin/bash\n{ for a in \"$@\"; do printf '[%s]' \"$a\"; done; echo; readlink "
                          "/proc/$$/fd/0; cut -d' ' -f6 /proc/$$/stat; grep -E '^Sig(Blk|Ign)' /proc/self/status | "
                          "tr -d '\\t\\n'; test -e /proc/self/fd/90 && printf fd90; echo; } >\"$0.tmp\" && mv "
                          "\"$0.tmp\" \"$0.args\"\n"),
                script != "plain"));
        const QString command = locations.takeLast();
        for (QString& location : locations)
            location = location.isEmpty() ? location : dir.filePath(location);
        ShellPlatform platform;
        const launch::Outcome outcome = command == "browser" ? launch::startBrowser(platform, locations[0])
                                        : command == "editor"
                                            ? launch::startEditor(platform, locations[1])
                                            : launch::startBoth(platform, locations[0], locations[1], locations[2]);
        // Every program started writes its record: each is waited for, and one not started never writes it.
        QString got = QString::number(int(outcome)) + '#';
        for (const QString script : kScripts) {
            const QString record = dir.filePath(script + ".args");
            if (std::any_of(platform.shells.cbegin(), platform.shells.cend(),
                            [&](const QString& line) { return line.startsWith(dir.filePath(script) + ' '); }))
                QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(record), 10000);
            const QStringList lines =
                QString::fromLocal8Bit(test::readBytes(record)).replace(dir.path(), "@").split('\n');
            if (QFile::exists(record))
                got += script + ':' + lines.value(0) + ';';
            QVERIFY2(!QFile::exists(record) ||
                         (lines.value(1) == "/dev/null" && lines.value(2).toInt() != ::getsid(0) &&
                          lines.value(3) == "SigBlk:0000000000000000SigIgn:0000000000000000"),
                     qPrintable(script + " inherited stdin, session, signals or descriptors: " + lines.join('|')));
        }
        for (const auto& box : platform.msgBoxes)
            got += QStringLiteral("#%1|%2|%3").arg(box.style).arg(box.title, box.prompt.section(" - ", 0, 0));
        QCOMPARE(got + (platform.msgBoxes.empty() ? "#" : ""), result);
    }
};

QTEST_GUILESS_MAIN(TestLaunch)
#include "tst_launch.moc"
