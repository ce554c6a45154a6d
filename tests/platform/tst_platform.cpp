#include "fakes/TestFiles.h"
#include "platform/Colors.h"
#include "platform/CommandLine.h"
#include "platform/DesktopSession.h"
#include "platform/QtPlatform.h"
#include "platform/RuntimeError.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

using namespace anchorly;

namespace {

// Helper mode: the test starts itself to hold a lock in another process.
int holdLock(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Anchorly")); // the name differs from the executable's
    QLockFile lock(QString::fromLocal8Bit(argv[2]));
    lock.setStaleLockTime(0);
    if (!lock.tryLock(0))
        return 2;
    std::puts("locked");
    std::fflush(stdout);
    for (;;)
        ::pause();
}

} // namespace

class TestPlatform : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QString expand(QString text) const { return text.replace(QLatin1Char('@'), m_dir.path()); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid() && QDir(m_dir.path()).mkpath(QStringLiteral("sub")));
        const QByteArray record = "#!/bin/sh\nout=\"$(dirname \"$0\")/out\"\n"
                                  "{ printf '%s|' \"$#\" \"$@\"; readlink /proc/$$/fd/0; cut -d' ' -f6 /proc/$$/stat; }"
                                  " > \"$out.tmp\"\nmv \"$out.tmp\" \"$out\"\n";
        const std::tuple<const char*, QByteArray, bool> files[] = {{"My Tools/record", record, true},
                                                                   {"run", "#!/bin/sh\n", true},
                                                                   {"run me", "#!/bin/sh\n", true},
                                                                   {"a", "text", false},
                                                                   {"a b/prog", "#!/bin/sh\n", true},
                                                                   {"plain", "#!/bin/sh\n", false},
                                                                   {"garbage", QByteArray(64, '\x7f'), true},
                                                                   {"orphan", "#!/nonexistent/interpreter\n", true},
                                                                   {"bin/anchorly-test-tool", "#!/bin/sh\n", true}};
        for (const auto& [name, content, executable] : files)
            QVERIFY(test::writeBytes(path(QString::fromLatin1(name)), content, executable));
        qputenv("PATH", QFile::encodeName(path(QStringLiteral("bin"))) + ":/usr/bin:/bin");
    }

    // The program is the shortest runnable prefix; the rest after one blank
    // is one argument. A line that cannot start raises its error number.
    void commandLine_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("argument"); // "-" for none
        QTest::addColumn<int>("error");        // what shell() raises; 0: not tried here
        const auto row = [](const char* name, const char* line, CommandLineSplit::Outcome outcome, const char* program,
                            const char* argument, int error = 0) {
            QTest::newRow(name) << line << int(outcome) << program << argument << error;
        };
        const auto found = CommandLineSplit::Found, notFound = CommandLineSplit::NotFound;
        row("blank in folder", "@/My Tools/record /x/My Doc.html", found, "@/My Tools/record", "/x/My Doc.html");
        row("shortest prefix wins", "@/run me now", found, "@/run", "me now");
        row("blanks kept", "@/run  two  blanks ", found, "@/run", " two  blanks ");
        row("empty document", "@/run ", found, "@/run", "-");
        row("blank-only document", "@/run   ", found, "@/run", "-");
        row("leading blanks", "  @/run x", found, "@/run", "x");
        row("on PATH", "anchorly-test-tool my page.html", found, "@/bin/anchorly-test-tool", "my page.html");
        row("runnable beats plain file", "@/a b/prog x", found, "@/a b/prog", "x");
        row("not a program", "@/garbage", found, "@/garbage", "-", 75);
        row("interpreter missing", "@/orphan x", found, "@/orphan", "x", 53);
        row("not executable", "@/plain /x.html", CommandLineSplit::NotExecutable, "@/plain", "/x.html", 70);
        row("folder", "@/sub ", CommandLineSplit::Folder, "@/sub", "-", 75);
        row("folder then document", "@/sub /x.html", notFound, "", "-", 53);
        row("missing", "@/nothing here", notFound, "", "-", 53);
        row("missing bare name", "no-such-anchorly-tool x", notFound, "", "-", 53);
        row("empty", "", CommandLineSplit::Blank, "", "-", 5);
        row("blanks only", "   ", CommandLineSplit::Blank, "", "-", 5);
    }
    void commandLine()
    {
        QFETCH(QString, line);
        QFETCH(int, outcome);
        QFETCH(QString, program);
        QFETCH(QString, argument);
        QFETCH(int, error);
        const CommandLineSplit split = splitCommandLine(expand(line));
        QCOMPARE(int(split.outcome), outcome);
        QCOMPARE(split.program, expand(program));
        QCOMPARE(split.argument.value_or(QStringLiteral("-")), argument);
        if (!error)
            return;
        try {
            QtPlatform().shell(expand(line), kNormalFocus);
            QFAIL("no error raised");
        } catch (const RuntimeError& raised) {
            QCOMPARE(raised.number(), error);
            QVERIFY(!raised.description().isEmpty());
        }
    }

    // A started program gets the one argument whole, stdin from /dev/null and a session of its own.
    void shellStartsDetached_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("arguments");
        QTest::newRow("document with blanks") << "@/My Tools/record /x/My Doc.html"
                                              << "1|/x/My Doc.html|";
        QTest::newRow("no document") << "@/My Tools/record "
                                     << "0|";
    }
    void shellStartsDetached()
    {
        QFETCH(QString, line);
        QFETCH(QString, arguments);
        const QString out = path(QStringLiteral("My Tools/out"));
        QFile::remove(out);
        // Our own stdin is a pipe while the program starts, so /dev/null can only come from shell().
        int pipeFds[2];
        QCOMPARE(::pipe(pipeFds), 0);
        const int savedStdin = ::dup(0);
        ::dup2(pipeFds[0], 0);
        QtPlatform().shell(expand(line), kNormalFocus);
        ::dup2(savedStdin, 0);
        for (const int fd : {savedStdin, pipeFds[0], pipeFds[1]})
            ::close(fd);
        QTRY_VERIFY(QFile::exists(out));
        const QStringList lines = QString::fromLocal8Bit(test::readBytes(out)).split(QLatin1Char('\n'));
        QCOMPARE(lines.value(0), arguments + QStringLiteral("/dev/null"));
        QVERIFY(lines.value(1).toLongLong() != ::getsid(0));
    }

    // One blank before a number that is not negative, none before a negative one.
    void unexpectedErrorText()
    {
        QCOMPARE(unexpectedErrorMessage(RuntimeError(53, QStringLiteral("File not found"))),
                 QStringLiteral("An Error was generated:\r\nDescription: Error 53 - File not found\r\n\r\n"
                                "Please inform the author with the error description above."));
        QCOMPARE(unexpectedErrorMessage(RuntimeError(-2147024891, QStringLiteral("Denied")), QStringLiteral("Bye.")),
                 QStringLiteral("An Error was generated:\r\nDescription: Error-2147024891 - Denied\r\n\r\nBye."));
    }

    // Line ends become plain newlines; a filter's bar-separated pairs become name filters.
    void dialogTexts()
    {
        QCOMPARE(messageBoxText(QStringLiteral("a\r\nb\nc\rd")), QStringLiteral("a\nb\nc\nd"));
        QCOMPARE(fileDialogNameFilters("Program files (*.exe)|*.exe"), QStringList{"Program files (*)"});
        QCOMPARE(fileDialogNameFilters("All Files (*.*)|*.*|"), QStringList{"All Files (*)"});
        QCOMPARE(fileDialogNameFilters("Web pages|*.htm;*.html|Text (*.txt)|*.txt"),
                 (QStringList{"Web pages (*.htm *.html)", "Text (*.txt)"}));
        QCOMPARE(fileDialogNameFilters(""), QStringList());
    }

    // Colour numbers hold blue, green, red from the high byte down.
    void colors()
    {
        QCOMPARE(toQColor(0x123456), QColor(0x56, 0x34, 0x12));
        QCOMPARE(toColorNumber(QColor(0x56, 0x34, 0x12)), 0x123456u);
        QCOMPARE(toQColor(kButtonFaceColor), QGuiApplication::palette().color(QPalette::Button));
    }

    void clipboardAndScreen()
    {
        QtPlatform platform;
        platform.clipboardSetText(QStringLiteral("a\r\nb"));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("a\r\nb"));
        const QScreen* primary = QGuiApplication::primaryScreen();
        QCOMPARE(platform.screenWidthTwips(), primary->size().width() * 15); // 96 dpi
        const QRect area = primary->availableGeometry();
        QVERIFY(platform.isOnSomeScreen(area.right() - 10, area.bottom() - 10, 400, 300));
        QVERIFY(!platform.isOnSomeScreen(area.right() + 1, area.top(), 400, 300));
        QVERIFY(!platform.isOnSomeScreen(area.left() - 400, area.top(), 400, 300));
    }

    // A live holder counts, in this process or another; a holder that was killed does not.
    void prevInstance()
    {
        const QString lockPath = path(QStringLiteral("anchorly.lock"));
        {
            QtPlatform first(lockPath);
            QtPlatform second(lockPath);
            QVERIFY(!first.prevInstance());
            QVERIFY(second.prevInstance());
            QVERIFY(!first.prevInstance());
        }
        QProcess holder;
        holder.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--hold-lock"), lockPath});
        QVERIFY(holder.waitForReadyRead(10000));
        QCOMPARE(holder.readLine().trimmed(), QByteArray("locked"));
        QVERIFY(QtPlatform(lockPath).prevInstance());
        holder.kill();
        QVERIFY(holder.waitForFinished(10000));
        QVERIFY(QFile::exists(lockPath));
        QtPlatform after(lockPath);
        QVERIFY(!after.prevInstance());
    }

    void prevInstanceCheckFails()
    {
        QtPlatform platform(path(QStringLiteral("plain/anchorly.lock"))); // a file where a folder should be
        try {
            platform.prevInstance();
            QFAIL("no error raised");
        } catch (const RuntimeError& error) {
            QCOMPARE(error.number(), errnum::PathFileAccess);
            QVERIFY(error.description().contains(QStringLiteral("plain/anchorly.lock")));
        }
    }

    // X where the window can be placed, a Wayland-only session natively, the user's own choice untouched.
    void displayPlatform_data()
    {
        QTest::addColumn<QByteArrayList>("environment"); // QT_QPA_PLATFORM, WAYLAND_DISPLAY, DISPLAY, XDG_SESSION_TYPE
        QTest::addColumn<QByteArray>("platform");
        QTest::newRow("X") << QByteArrayList{"", "", ":0", "x11"} << QByteArray();
        QTest::newRow("Wayland and XWayland") << QByteArrayList{"", "wayland-0", ":0", "wayland"} << QByteArray("xcb");
        QTest::newRow("Wayland only") << QByteArrayList{"", "wayland-1", "", ""} << QByteArray("wayland");
        QTest::newRow("Wayland, default socket") << QByteArrayList{"", "", "", "wayland"} << QByteArray("wayland");
        QTest::newRow("chosen by the user") << QByteArrayList{"wayland", "wayland-0", ":0", "wayland"} << QByteArray();
        QTest::newRow("no desktop") << QByteArrayList{"", "", "", "tty"} << QByteArray();
    }
    void displayPlatform()
    {
        QFETCH(QByteArrayList, environment);
        QFETCH(QByteArray, platform);
        QCOMPARE(displayPlatformFor({environment[0], environment[1], environment[2], environment[3]}), platform);
    }
};

int main(int argc, char** argv)
{
    if (argc == 3 && qstrcmp(argv[1], "--hold-lock") == 0)
        return holdLock(argc, argv);
    QApplication app(argc, argv);
    TestPlatform test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_platform.moc"
