// The desktop services on real files and processes: splitting command lines
// and the single-instance lock. Programs are started through the launch
// table (tests/launch).

#include "fakes/TestFiles.h"
#include "platform/CommandLine.h"
#include "platform/DesktopSession.h"
#include "platform/QtPlatform.h"
#include "platform/RuntimeError.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>
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
    }

    // Only a live holder counts, in this process or another; whatever file a
    // crash, a power loss or another program left is taken over. The holder
    // hears a later copy's call through a channel of its user's alone.
    void prevInstance_data()
    {
        QTest::addColumn<QByteArray>("leftover");
        const QByteArray host = QSysInfo::machineHostName().toUtf8();
        for (const auto& [name, content] : {std::pair{"empty", QByteArray("")},
                                            {"garbled", QByteArray("\xff\0\x13\n\n\n", 6)},
                                            {"a process that is gone", "999999999\nAnchorly\n" + host},
                                            {"a live process, another program", "1\nAnchorly\n" + host}})
            QTest::newRow(name) << content;
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

    // X where the window can be placed, a Wayland-only session natively, the user's own choice untouched; with
    // no display at all one line says so, unless the chosen platform needs none.
    void displayPlatform_data()
    {
        QTest::addColumn<QByteArrayList>("environment"); // QT_QPA_PLATFORM, WAYLAND_DISPLAY, DISPLAY, XDG_SESSION_TYPE
        QTest::addColumn<QByteArray>("platform");        // "missing": none, and the one line instead
        QTest::newRow("X") << QByteArrayList{"", "", ":0", "x11"} << QByteArray();
        QTest::newRow("Wayland and XWayland") << QByteArrayList{"", "wayland-0", ":0", "wayland"} << QByteArray("xcb");
        QTest::newRow("Wayland only") << QByteArrayList{"", "wayland-1", "", ""} << QByteArray("wayland");
        QTest::newRow("Wayland, default socket") << QByteArrayList{"", "", "", "wayland"} << QByteArray("wayland");
        QTest::newRow("chosen by the user") << QByteArrayList{"wayland", "wayland-0", ":0", "wayland"} << QByteArray();
        QTest::newRow("no desktop") << QByteArrayList{"", "", "", "tty"} << QByteArray("missing");
        QTest::newRow("xcb chosen, no display") << QByteArrayList{"xcb", "", "", ""} << QByteArray("missing");
        QTest::newRow("one needs no display") << QByteArrayList{"wayland-egl;vnc:size=8x6", "", "", ""} << QByteArray();
    }
    void displayPlatform()
    {
        QFETCH(QByteArrayList, environment);
        QFETCH(QByteArray, platform);
        const DisplayEnvironment given{environment[0], environment[1], environment[2], environment[3]};
        QCOMPARE(displayMissing(given) ? QByteArray("missing") : displayPlatformFor(given), platform);
    }
};

QTEST_GUILESS_MAIN(TestPlatform)
#include "tst_platform.moc"
