// Starting the browser and editor through the desktop's real program start,
// on real files: scripts that record their arguments, a missing program, a
// file without execute permission and locations with blanks. Only the
// message boxes are recorded instead of shown.

#include "fakes/FakePlatform.h"
#include "launch/Launch.h"
#include "platform/QtPlatform.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace anchorly;
using anchorly::launch::Outcome;
using anchorly::test::FakePlatform;

Q_DECLARE_METATYPE(anchorly::launch::Outcome)

namespace {

// Real program start, recorded message boxes.
class ShellPlatform : public FakePlatform {
public:
    void shell(const QString& commandLine, int windowStyle) override
    {
        shells.push_back({commandLine, windowStyle});
        m_real.shell(commandLine, windowStyle);
    }

private:
    QtPlatform m_real;
};

} // namespace

class TestLaunchShell : public QObject {
    Q_OBJECT
private slots:
    void init();
    void single_data();
    void single();
    void both_data();
    void both();

private:
    // A script at the relative path that writes its arguments, one "[arg]" a line, to <path>.args.
    QString makeScript(const QString& relativePath, bool executable = true);
    QString argumentsOf(const QString& script); // waits until the script has run

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestLaunchShell::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    // The editor has blanks in its folder and its own name, so the command
    // line can only be split by looking for the program that exists.
    makeScript(QStringLiteral("browser"));
    makeScript(QStringLiteral("My Tools/edit it"));
    makeScript(QStringLiteral("plain"), false);
}

QString TestLaunchShell::makeScript(const QString& relativePath, bool executable)
{
    const QString path = m_dir->filePath(relativePath);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    file.write("#!/bin/sh\n"
               "{ for a in \"$@\"; do printf '[%s]\\n' \"$a\"; done; } > \"$0.args.tmp\" && mv \"$0.args.tmp\" \"$0.args\"\n");
    file.close();
    QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner;
    if (executable)
        permissions |= QFile::ExeOwner;
    file.setPermissions(permissions);
    return path;
}

QString TestLaunchShell::argumentsOf(const QString& script)
{
    QFile record(script + QStringLiteral(".args"));
    if (!QTest::qWaitFor([&] { return record.exists(); }, 10000))
        return QStringLiteral("<never ran>");
    record.open(QIODevice::ReadOnly);
    return QString::fromLocal8Bit(record.readAll());
}

// --- browser alone and editor alone ---------------------------------------------
void TestLaunchShell::single_data()
{
    QTest::addColumn<bool>("editor");
    QTest::addColumn<QString>("location"); // relative to the folder; "" stays empty
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<QString>("promptStart"); // empty: no message

    QTest::newRow("browser runs with no argument") << false << "browser" << Outcome::Started << "";
    QTest::newRow("editor with blanks in its path") << true << "My Tools/edit it" << Outcome::Started << "";
    QTest::newRow("empty location") << false << "" << Outcome::NeedsLocation << "Locate your browser please...";
    QTest::newRow("missing program") << true << "nothing here" << Outcome::NeedsLocation
                                     << "Locate your editor please...";
    QTest::newRow("no execute permission")
        << false << "plain" << Outcome::Failed << "An Error was generated:\r\nDescription: Error 70 - ";
}

void TestLaunchShell::single()
{
    QFETCH(bool, editor);
    QFETCH(QString, location);
    QFETCH(Outcome, outcome);
    QFETCH(QString, promptStart);
    const QString path = location.isEmpty() ? QString() : m_dir->filePath(location);

    ShellPlatform platform;
    QCOMPARE(editor ? launch::startEditor(platform, path) : launch::startBrowser(platform, path), outcome);

    if (outcome == Outcome::Started) {
        QCOMPARE(argumentsOf(path), QString());
        QVERIFY(platform.msgBoxes.empty());
        return;
    }
    QCOMPARE(platform.msgBoxes.size(), size_t(1));
    QVERIFY2(platform.msgBoxes[0].prompt.startsWith(promptStart), qPrintable(platform.msgBoxes[0].prompt));
}

// --- open both --------------------------------------------------------------------------
void TestLaunchShell::both_data()
{
    QTest::addColumn<QString>("browser");
    QTest::addColumn<QString>("editor");
    QTest::addColumn<QString>("html"); // relative; "" stays empty
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<QString>("browserArgs"); // "<never ran>" when not started
    QTest::addColumn<QString>("editorArgs");
    QTest::addColumn<QString>("promptStart");

    QTest::newRow("both with a document path with blanks")
        << "browser" << "My Tools/edit it" << "my page.html" << Outcome::Started << "[<dir>/my page.html]\n"
        << "[<dir>/my page.html]\n" << "";
    QTest::newRow("no document: both start without one")
        << "browser" << "My Tools/edit it" << "" << Outcome::Started << "" << "" << "";
    QTest::newRow("missing browser: the editor does not start")
        << "gone" << "My Tools/edit it" << "x.html" << Outcome::Failed << "<never ran>" << "<never ran>"
        << "Please check your preferences...\r\nSome files may be misplaced";
    QTest::newRow("missing editor after the browser started")
        << "browser" << "gone" << "x.html" << Outcome::Failed << "[<dir>/x.html]\n" << "<never ran>"
        << "Please check your preferences...\r\n";
    QTest::newRow("browser not a program")
        << "plain" << "My Tools/edit it" << "x.html" << Outcome::Failed << "<never ran>" << "<never ran>"
        << "An Error was generated:\r\nDescription: Error 70 - ";
}

void TestLaunchShell::both()
{
    QFETCH(QString, browser);
    QFETCH(QString, editor);
    QFETCH(QString, html);
    QFETCH(Outcome, outcome);
    QFETCH(QString, browserArgs);
    QFETCH(QString, editorArgs);
    QFETCH(QString, promptStart);
    const QString dir = m_dir->path();
    const QString browserPath = m_dir->filePath(browser);
    const QString editorPath = m_dir->filePath(editor);

    ShellPlatform platform;
    QCOMPARE(launch::startBoth(platform, browserPath, editorPath, html.isEmpty() ? QString() : m_dir->filePath(html)),
             outcome);

    if (browserArgs != "<never ran>")
        QCOMPARE(argumentsOf(browserPath), QString(browserArgs).replace("<dir>", dir));
    else
        QVERIFY(!QFile::exists(browserPath + ".args"));
    if (editorArgs != "<never ran>")
        QCOMPARE(argumentsOf(editorPath), QString(editorArgs).replace("<dir>", dir));
    else
        QVERIFY(!QFile::exists(editorPath + ".args")); // it never started, so there is nothing to wait for
    if (promptStart.isEmpty()) {
        QVERIFY(platform.msgBoxes.empty());
    } else {
        QCOMPARE(platform.msgBoxes.size(), size_t(1));
        QVERIFY2(platform.msgBoxes[0].prompt.startsWith(promptStart), qPrintable(platform.msgBoxes[0].prompt));
    }
}

QTEST_GUILESS_MAIN(TestLaunchShell)
#include "tst_launch_shell.moc"
