#include "platform/Colors.h"
#include "platform/CommandLine.h"
#include "platform/QtPlatform.h"
#include "platform/RuntimeError.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <QtTest>

#include <csignal>
#include <unistd.h>

using namespace anchorly;

namespace
{

void writeFile(const QString& path, const QByteArray& content, bool executable)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();
    QFileDevice::Permissions permissions = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    if (executable)
        permissions |= QFileDevice::ExeOwner;
    QVERIFY(file.setPermissions(permissions));
}

// Counts the close requests that reach it.
class CloseCounter : public QWidget
{
public:
    int closes = 0;

protected:
    void closeEvent(QCloseEvent* event) override
    {
        ++closes;
        event->accept();
    }
};

// Helper modes: the test starts itself to hold a lock in another process, or
// to watch end() stop a running event loop.
int runHelper(int argc, char** argv)
{
    if (argc == 3 && qstrcmp(argv[1], "--hold-lock") == 0) {
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
    QApplication app(argc, argv);
    QtPlatform platform;
    CloseCounter window;
    window.show();
    QTimer::singleShot(0, &window, [&] {
        platform.end();
        window.close(); // swallowed: the program has ended
    });
    const int code = app.exec();
    return code == 0 && platform.hasEnded() && window.closes == 0 ? 0 : 1;
}

} // namespace

class TestPlatform : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QString expand(QString text) const { return text.replace(QLatin1Char('@'), m_dir.path()); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("My Tools")));
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("a b")));
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("sub")));
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("bin")));
        const QByteArray record = "#!/bin/sh\nout=\"$(dirname \"$0\")/out\"\n"
                                  "{ printf '%s|' \"$#\" \"$@\"; readlink /proc/$$/fd/0; cut -d' ' -f6 /proc/$$/stat; }"
                                  " > \"$out.tmp\"\nmv \"$out.tmp\" \"$out\"\n";
        writeFile(path(QStringLiteral("My Tools/record")), record, true);
        writeFile(path(QStringLiteral("run")), "#!/bin/sh\n", true);
        writeFile(path(QStringLiteral("run me")), "#!/bin/sh\n", true);
        writeFile(path(QStringLiteral("a")), "text", false);
        writeFile(path(QStringLiteral("a b/prog")), "#!/bin/sh\n", true);
        writeFile(path(QStringLiteral("plain")), "#!/bin/sh\n", false);
        writeFile(path(QStringLiteral("garbage")), QByteArray(64, '\x7f'), true);
        writeFile(path(QStringLiteral("orphan")), "#!/nonexistent/interpreter\n", true);
        writeFile(path(QStringLiteral("bin/anchorly-test-tool")), "#!/bin/sh\n", true);
        qputenv("PATH", QFile::encodeName(path(QStringLiteral("bin"))) + ":/usr/bin:/bin");
    }

    // The program is the shortest runnable prefix; the rest after one blank is one argument.
    void splitCommandLine_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("argument"); // "-" for none
        const int found = CommandLineSplit::Found;
        QTest::newRow("blank in folder") << "@/My Tools/record /x/My Doc.html" << found << "@/My Tools/record"
                                         << "/x/My Doc.html";
        QTest::newRow("shortest prefix wins") << "@/run me now" << found << "@/run"
                                              << "me now";
        QTest::newRow("blanks kept") << "@/run  two  blanks " << found << "@/run"
                                     << " two  blanks ";
        QTest::newRow("empty document") << "@/run " << found << "@/run"
                                        << "-";
        QTest::newRow("blank-only document") << "@/run   " << found << "@/run"
                                             << "-";
        QTest::newRow("leading blanks") << "  @/run x" << found << "@/run"
                                        << "x";
        QTest::newRow("on PATH") << "anchorly-test-tool my page.html" << found << "@/bin/anchorly-test-tool"
                                 << "my page.html";
        QTest::newRow("runnable beats plain file") << "@/a b/prog x" << found << "@/a b/prog"
                                                   << "x";
        QTest::newRow("not executable") << "@/plain /x.html" << int(CommandLineSplit::NotExecutable) << "@/plain"
                                        << "/x.html";
        QTest::newRow("folder") << "@/sub " << int(CommandLineSplit::Folder) << "@/sub"
                                << "-";
        QTest::newRow("folder then document") << "@/sub /x.html" << int(CommandLineSplit::NotFound) << ""
                                              << "-";
        QTest::newRow("missing") << "@/nothing here" << int(CommandLineSplit::NotFound) << ""
                                 << "-";
        QTest::newRow("missing bare name") << "no-such-anchorly-tool x" << int(CommandLineSplit::NotFound) << ""
                                           << "-";
        QTest::newRow("empty") << "" << int(CommandLineSplit::Blank) << ""
                               << "-";
        QTest::newRow("blanks only") << "   " << int(CommandLineSplit::Blank) << ""
                                     << "-";
    }

    void splitCommandLine()
    {
        QFETCH(QString, line);
        QFETCH(int, outcome);
        QFETCH(QString, program);
        QFETCH(QString, argument);
        const CommandLineSplit split = anchorly::splitCommandLine(expand(line));
        QCOMPARE(int(split.outcome), outcome);
        QCOMPARE(split.program, expand(program));
        QCOMPARE(split.argument.value_or(QStringLiteral("-")), argument);
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
        QFile out(path(QStringLiteral("My Tools/out")));
        out.remove();
        // Our own stdin is a pipe while the program starts, so /dev/null can only come from shell().
        int pipeFds[2];
        QCOMPARE(::pipe(pipeFds), 0);
        const int savedStdin = ::dup(0);
        ::dup2(pipeFds[0], 0);
        QtPlatform platform;
        platform.shell(expand(line), kNormalFocus);
        ::dup2(savedStdin, 0);
        for (const int fd : {savedStdin, pipeFds[0], pipeFds[1]})
            ::close(fd);
        QTRY_VERIFY(out.exists());
        QVERIFY(out.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromLocal8Bit(out.readAll()).split(QLatin1Char('\n'));
        QCOMPARE(lines.value(0), arguments + QStringLiteral("/dev/null"));
        QVERIFY(lines.value(1).toLongLong() != ::getsid(0));
    }

    void shellErrors_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("number");
        QTest::newRow("empty") << "" << 5;
        QTest::newRow("blanks") << "  " << 5;
        QTest::newRow("missing") << "@/nothing /x.html" << 53;
        QTest::newRow("not executable") << "@/plain" << 70;
        QTest::newRow("folder") << "@/sub" << 75;
        QTest::newRow("not a program") << "@/garbage" << 75;
        QTest::newRow("interpreter missing") << "@/orphan x" << 53;
    }

    void shellErrors()
    {
        QFETCH(QString, line);
        QFETCH(int, number);
        QtPlatform platform;
        try {
            platform.shell(expand(line), kNormalFocus);
            QFAIL("no error raised");
        } catch (const RuntimeError& error) {
            QCOMPARE(error.number(), number);
            QVERIFY(!error.description().isEmpty());
        }
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

    void messageText() { QCOMPARE(messageBoxText(QStringLiteral("a\r\nb\nc\rd")), QStringLiteral("a\nb\nc\nd")); }

    void nameFilters_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("programs") << "Program files (*.exe)|*.exe" << QStringList{"Program files (*)"};
        QTest::newRow("all, trailing bar") << "All Files (*.*)|*.*|" << QStringList{"All Files (*)"};
        QTest::newRow("two pairs") << "Web pages|*.htm;*.html|Text (*.txt)|*.txt"
                                   << QStringList{"Web pages (*.htm *.html)", "Text (*.txt)"};
        QTest::newRow("empty") << "" << QStringList{};
    }

    void nameFilters()
    {
        QFETCH(QString, filter);
        QFETCH(QStringList, expected);
        QCOMPARE(fileDialogNameFilters(filter), expected);
    }

    void colors()
    {
        QCOMPARE(toQColor(65280), QColor(0, 255, 0));
        QCOMPARE(toQColor(0x123456), QColor(0x56, 0x34, 0x12));
        QCOMPARE(toColorNumber(QColor(0x56, 0x34, 0x12)), 0x123456u);
        QCOMPARE(toColorNumber(QColor(Qt::white)), 16777215u);
        QCOMPARE(toQColor(kButtonFaceColor), QGuiApplication::palette().color(QPalette::Button));
    }

    void clipboardHoldsText()
    {
        QtPlatform platform;
        platform.clipboardSetText(QStringLiteral("old"));
        platform.clipboardClear();
        platform.clipboardSetText(QStringLiteral("<a href=\"x\">y</a><br>\r\nEntry2"));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("<a href=\"x\">y</a><br>\r\nEntry2"));
    }

    void screen()
    {
        QtPlatform platform;
        const QScreen* primary = QGuiApplication::primaryScreen();
        QCOMPARE(platform.twipsPerPixel(), qRound(1440.0 / primary->logicalDotsPerInch()));
        QCOMPARE(platform.screenWidthTwips(), primary->size().width() * platform.twipsPerPixel());
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

    void endStopsTheLoopAndSwallowsClose()
    {
        QProcess helper;
        helper.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--end-in-loop")});
        QVERIFY(helper.waitForFinished(10000));
        QCOMPARE(helper.exitStatus(), QProcess::NormalExit);
        QCOMPARE(helper.exitCode(), 0);
    }
};

int main(int argc, char** argv)
{
    if (argc > 1 && (qstrcmp(argv[1], "--hold-lock") == 0 || qstrcmp(argv[1], "--end-in-loop") == 0))
        return runHelper(argc, argv);
    QApplication app(argc, argv);
    TestPlatform test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_platform.moc"
