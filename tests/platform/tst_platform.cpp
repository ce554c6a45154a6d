// The desktop services on real files and processes: splitting command lines
// and the single-instance lock. Programs are started through the launch
// table (tests/launch).

#include "fakes/TestFiles.h"
#include "platform/CommandLine.h"
#include "platform/DesktopSession.h"
#include "platform/QtPlatform.h"
#include "platform/RuntimeError.h"

#include <QMessageBox>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>
#include <csignal>
#include <unistd.h>

using namespace anchorly;

class TestPlatform : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString path(QString name) const { return name.replace('@', m_dir.path()); }

private slots:
    void initTestCase()
    {
        for (const char* script : {"run", "run me", "a b/prog", "bin/anchorly-test-tool"})
            QVERIFY(test::writeBytes(path("@/") + script, "#!/bin/sh\n", true));
        QVERIFY(test::writeBytes(path("@/fails"), "#!/bin/sh\nexit 3\n", true) &&
                test::writeBytes(path("@/stays"), "#!/bin/sh\nexec sleep 3\n", true) &&
                test::writeBytes(path("@/killed"), "#!/bin/sh\nkill -9 $$\n", true) &&
                test::writeBytes(path("@/junk"), "no program", true));
        QVERIFY(test::writeBytes(path("@/a"), "text") && QDir(m_dir.path()).mkdir("sub"));
        qputenv("PATH", QFile::encodeName(path("@/bin")) + ":/usr/bin:/bin");
    }

    // The program is the shortest runnable prefix, a bare name is looked up on
    // PATH, the rest after one blank is one argument and a blank rest none; a
    // blank first leaves no program. Empty locations, missing programs and
    // files that are no program come through the launch table's real starts.
    void commandLine()
    {
        // line, then outcome|program|argument ("-" for none)
        for (const auto& [line, split] :
             {std::pair{"@/run me now", "1|@/run|me now"},
              {"@/run   ", "1|@/run|-"},
              {"anchorly-test-tool my page.html", "1|@/bin/anchorly-test-tool|my page.html"},
              {"@/a b/prog x", "1|@/a b/prog|x"},
              {"@/sub ", "3|@/sub|-"},
              {" @/run me", "0||-"}}) {
            const CommandLineSplit got = splitCommandLine(path(line));
            QCOMPARE(QStringLiteral("%1|%2|%3").arg(got.outcome).arg(got.program, got.argument.value_or("-")),
                     path(split));
        }
        // Every file counts for "*.*", and programs carry no ".exe" here.
        QCOMPARE(fileDialogNameFilters("Program files (*.exe)|*.exe|All Files (*.*)|*.*|"),
                 QStringList({"Program files (*)", "All Files (*)"}));
        // A message box: CR LF and a lone CR each break the line once; the icon by the style's icon bits.
        QCOMPARE(messageBoxText("a\r\nb\rc\n\r\nd"), "a\nb\nc\n\nd");
        QCOMPARE(QString::asprintf("%d %d %d %d %d", messageBoxIcon(16), messageBoxIcon(32 + 1), messageBoxIcon(48),
                                   messageBoxIcon(64 + 2), messageBoxIcon(0)),
                 QString::asprintf("%d %d %d %d %d", QMessageBox::Critical, QMessageBox::Question, QMessageBox::Warning,
                                   QMessageBox::Information, QMessageBox::NoIcon));
    }

    // Only a live holder counts, in this process or another; whatever file a
    // crash, a power loss or another program left is taken over. The holder
    // hears a later copy's call through a channel of its user's alone.
    void prevInstance_data()
    {
        QTest::addColumn<QByteArray>("leftover");
        QTest::newRow("empty") << QByteArray("");
        QTest::newRow("another program's number, garbled") << QByteArray("1\n\xff\0\x13\n\n\n", 8);
    }
    void prevInstance()
    {
        QFETCH(QByteArray, leftover);
        const QString lock = path("@/anchorly.lock");
        QVERIFY(test::writeBytes(lock, leftover));
        const QString channel = path("@/anchorly.socket");
        {
            QtPlatform first(lock), second(lock);
            int called = 0;
            first.onCalledByNextInstance([&called] { ++called; });
            QVERIFY(!first.prevInstance() && second.prevInstance() && !first.prevInstance());
            second.callPrevInstance(); // the channel: the holder's user alone may use it
            QTRY_COMPARE(called, 1);
            struct stat status {};
            QVERIFY(::stat(qPrintable(channel), &status) == 0 && S_ISSOCK(status.st_mode) &&
                    (status.st_mode & 07777) == 0600);
        }
        QVERIFY(!QFileInfo::exists(channel));
        QProcess holder; // the kernel's lock, held by another program until it is killed
        holder.start("flock", {"--no-fork", lock, "sh", "-c", "echo locked; exec sleep 600"});
        QVERIFY(holder.waitForReadyRead(10000) && QtPlatform(lock).prevInstance());
        holder.kill();
        QVERIFY(holder.waitForFinished(10000) && QFile::exists(lock) && !QtPlatform(lock).prevInstance());
    }

    // A program waited for reports how it ended, or -1 while it runs on; a
    // failed start raises as shell() does. Neither the program nor its
    // watcher keeps this copy's lock once it is gone.
    void shellAndWait()
    {
        const QString lock = path("@/watched.lock");
        auto platform = std::make_unique<QtPlatform>(lock);
        QVERIFY(!platform->prevInstance());
        QCOMPARE(platform->shellAndWait(path("@/stays"), 1, 1000), -1);
        const auto waited = [&platform, this](const char* line) {
            try {
                return platform->shellAndWait(path(line), 1, 60000);
            } catch (const RuntimeError& error) {
                return -error.number();
            }
        };
        QCOMPARE(QList<int>({waited("@/fails x"), waited("@/killed"), waited("@/junk")}), QList<int>({3, 128 + 9, -75}));
        platform.reset();
        QVERIFY(!QtPlatform(lock).prevInstance());
    }

    // When the check itself cannot work it raises 75, naming the file: a
    // folder in its place, a file in its folder's place, another user's file.
    void prevInstanceCheckFails()
    {
        const bool root = ::geteuid() == 0; // only root can give a file to another user here
        QVERIFY(!root ||
                (test::writeBytes(path("@/theirs"), "") && ::chown(qPrintable(path("@/theirs")), 65534, 0) == 0));
        for (const char* name : {"@/sub", "@/a/anchorly.lock", root ? "@/theirs" : "@/sub"}) {
            try {
                QtPlatform(path(name)).prevInstance();
                QFAIL(name);
            } catch (const RuntimeError& error) {
                QVERIFY(error.number() == errnum::PathFileAccess && error.description().contains(path(name)));
            }
        }
    }

    // The session ends by SIGTERM, SIGHUP or SIGINT, each asking once: a second
    // one ends the program at once. A signal ignored at the start (nohup) stays ignored.
    void sessionEnd()
    {
        std::signal(SIGINT, SIG_IGN);
        SessionEndWatcher watcher;
        QSignalSpy ending(&watcher, &SessionEndWatcher::sessionEnding);
        QVERIFY(::raise(SIGHUP) == 0 && ::raise(SIGINT) == 0);
        QTRY_COMPARE(ending.count(), 1);
        struct sigaction hangUp{}, interrupt{};
        QVERIFY(::sigaction(SIGHUP, nullptr, &hangUp) == 0 && ::sigaction(SIGINT, nullptr, &interrupt) == 0);
        // A second hang-up ends the program; the ignored SIGINT is not taken over.
        QVERIFY(hangUp.sa_handler == SIG_DFL && interrupt.sa_handler == SIG_IGN);
    }

    // X where the window can be placed, a Wayland-only session natively, the user's own choice untouched; with
    // no display at all one line says so, unless the chosen platform needs none.
    void displayPlatform()
    {
        // QT_QPA_PLATFORM, WAYLAND_DISPLAY, DISPLAY and XDG_SESSION_TYPE, then the platform chosen ("missing": none,
        // and the one line instead)
        for (const auto& [chosen, wayland, x, session, platform] :
             {std::tuple{"", "", ":0", "x11", ""}, {"", "wayland-0", ":0", "wayland", "xcb"},
              {"", "wayland-1", "", "", "wayland"}, {"", "", "", "wayland", "wayland"},
              {"wayland", "wayland-0", ":0", "wayland", ""}, {"", "", "", "tty", "missing"},
              {"xcb", "", "", "", "missing"}, {"wayland-egl;vnc:size=8x6", "", "", "", ""}}) {
            const DisplayEnvironment given{chosen, wayland, x, session};
            QCOMPARE(displayMissing(given) ? QByteArray("missing") : displayPlatformFor(given), QByteArray(platform));
        }
    }
};

QTEST_GUILESS_MAIN(TestPlatform)
#include "tst_platform.moc"
