// The sources list: its file, the built-in list, and the add, refresh and
// edit actions on a combo box over real files in a temporary folder.

#include "fakes/FakePlatform.h"
#include "fakes/MemoryRegistryApi.h"
#include "fakes/TestFiles.h"
#include "settings/Registry.h"
#include "settings/Settings.h"
#include "sources/Sources.h"
#include "sources/SourcesFile.h"
#include "sources/SourcesLocation.h"

#include <QBuffer>
#include <QComboBox>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <memory>
#include <sys/resource.h>

using namespace anchorly;
using namespace anchorly::sources;
using anchorly::test::readBytes;
using anchorly::test::writeBytes;
using Names = QStringList;

namespace {

Names entries(const QComboBox& combo)
{
    Names list;
    for (int i = 0; i < combo.count(); ++i)
        list << combo.itemText(i);
    return list;
}

// Gives its bytes, then fails the next read, like a disk that breaks mid-file.
class BreakingDevice : public QBuffer {
protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        const qint64 got = QBuffer::readData(data, maxSize);
        return got > 0 ? got : -1;
    }
};

} // namespace

class TestSources : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_path;
    test::MemoryRegistryApi m_api;
    registry::Registry m_registry{m_api, {}};
    settings::Settings m_settings{m_registry};
    test::FakePlatform m_platform;
    QList<int> m_selected;
    const std::function<void(int)> m_select = [this](int index) { m_selected.append(index); };

private slots:
    void init()
    {
        QDir(m_dir.path()).removeRecursively();
        QVERIFY(QDir().mkpath(m_dir.path()));
        m_path = sourcesFilePath(m_dir.path());
        m_api.keys.clear();
        m_settings.createKey();
        m_platform = test::FakePlatform();
        m_selected.clear();
    }

    void load_data()
    {
        QTest::addColumn<QByteArray>("content"); // null: no file; "/": a folder in its place
        QTest::addColumn<Names>("expected");
        Names builtin = builtinSourceNames();
        std::stable_sort(builtin.begin(), builtin.end(), caseBlindLess);
        QTest::newRow("blank lines, two leading blanks first")
            << QByteArray("Wired News\r\n\r\n   \r\n  CNN\r\n") << Names{"  CNN", "Wired News"};
        QTest::newRow("CR alone") << QByteArray("b\ra\r") << Names{"a", "b"};
        QTest::newRow("lone LF") << QByteArray("x\ny\n") << Names{"x\ny\n"};
        QTest::newRow("tab line") << QByteArray("\t\r\nz\r\n") << Names{"\t", "z"};
        QTest::newRow("duplicates") << QByteArray("CNN\r\nCNN\r\n") << Names{"CNN", "CNN"};
        QTest::newRow("no last line end") << QByteArray("b\r\na") << Names{"a", "b"};
        QTest::newRow("case-blind, stable") << QByteArray("b\r\nB\r\na\r\nA\r\n") << Names{"a", "A", "b", "B"};
        QTest::newRow("empty file") << QByteArray("") << Names{};
        QTest::newRow("no file") << QByteArray() << builtin;
        QTest::newRow("folder in place") << QByteArray("/") << builtin;
        Names many; // more names than a 16-bit count holds: all are kept
        for (int i = 0; i < 40000; ++i)
            many << QString::asprintf("n%05d", i);
        QTest::newRow("40000 names") << many.join("\r\n").toLatin1() << many;
    }
    void load()
    {
        QFETCH(QByteArray, content);
        QFETCH(Names, expected);
        QVERIFY(content.isNull() || (content == "/" ? QDir().mkdir(m_path) : writeBytes(m_path, content)));
        QComboBox combo;
        combo.addItems({"stale", "entries"});
        LoadComboFromFile(&combo, m_path);
        QCOMPARE(entries(combo), expected);
        QCOMPARE(combo.currentIndex(), -1);
        QCOMPARE(QFileInfo::exists(m_path), !content.isNull());
    }

    void readErrorKeepsCompletedLines()
    {
        BreakingDevice device;
        device.setData("kept\r\nalso kept\rcut sho");
        QVERIFY(device.open(QIODevice::ReadOnly));
        Names names{"earlier"};
        QVERIFY(!readSourceNames(device, names));
        QCOMPARE(names, (Names{"earlier", "kept", "also kept"}));
    }

    // A failed save keeps the old file and leaves no temporary file. how: "" a plain
    // folder; "folder" a folder in place of the file; "full" a full disk.
    void save_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<Names>("added");
        QTest::addColumn<QByteArray>("expected"); // the file's content afterwards
        QTest::newRow("b then A: 6 bytes") << "" << Names{"b", "A"} << QByteArray("A\r\nb\r\n");
        QTest::newRow("empty list") << "" << Names{} << QByteArray("");
        QTest::newRow("blanks kept") << "" << Names{"  CNN "} << QByteArray("  CNN \r\n");
        QTest::newRow("folder in place") << "folder" << Names{"a"} << QByteArray("old\r\n");
        QTest::newRow("disk full") << "full" << Names{QString(200000, QLatin1Char('x'))} << QByteArray("old\r\n");
    }
    void save()
    {
        QFETCH(QString, how);
        QFETCH(Names, added);
        QFETCH(QByteArray, expected);
        const QString old = how == "folder" ? m_path + "/inside" : m_path;
        QVERIFY(writeBytes(old, "old\r\n"));
        QComboBox combo;
        for (const QString& name : added)
            addSorted(&combo, {name});

        // Writes beyond a file size limit fail as on a full disk, even for root.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        rlimit small{how == "full" ? 64 * 1024 : saved.rlim_cur, saved.rlim_max};
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        const bool ok = Combo2List(&combo, m_path, m_platform);
        setrlimit(RLIMIT_FSIZE, &saved);

        QCOMPARE(ok, how.isEmpty());
        QCOMPARE(readBytes(old), expected);
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 Names{"sources.txt"});
        QCOMPARE(fileexists(m_path), how == "folder" ? 0 : -1);
        QCOMPARE(m_platform.msgBoxes.size(), size_t(ok ? 0 : 1));
        for (const auto& box : m_platform.msgBoxes)
            QVERIFY(box.style == MsgStyle::Exclamation && box.title == "Anchorly" && box.prompt.contains(m_path));
    }

    void builtinList()
    {
        const Names& names = builtinSourceNames();
        QCOMPARE(QString::number(names.size()) + ' ' + names.first() + '|' + names.last(), "63 ABC Online|ZDNet");
        for (const QString& name : names)
            QVERIFY2(!name.isEmpty() && name.trimmed() == name && names.count(name) == 1, qPrintable(name));
    }

    // Before each add the last entry is selected and "ComboSource" holds 9.
    void addToList_data()
    {
        QTest::addColumn<Names>("list");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<Names>("expected");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QByteArray>("file"); // empty: none written; "/": a folder stands in its place
        const auto row = [](const char* name, Names list, const char* typed, Names expected, int selected,
                            QByteArray file = {}) {
            QTest::newRow(name) << list << typed << expected << selected << file;
        };
        row("empty list", {}, " CNN ", {"CNN"}, -1);
        row("duplicate, blanks around", {"CNN", "Wired News"}, "  CNN  ", {"CNN", "Wired News"}, 1);
        row("new name", {"Wired News", "ZDNet"}, "  CNN  ", {"CNN", "Wired News", "ZDNet"}, 0,
            "CNN\r\nWired News\r\nZDNet\r\n");
        row("other case", {"CNN"}, "cnn", {"CNN", "cnn"}, 1, "CNN\r\ncnn\r\n");
        row("blanks only", {"CNN"}, "   ", {"CNN"}, 0);
        row("failed save changes nothing", {"CNN", "ZDNet"}, "BBC", {"CNN", "ZDNet"}, 1, "/");
    }
    // Only a saved list selects the new entry and stores its index.
    void addToList()
    {
        QFETCH(Names, list);
        QFETCH(QString, typed);
        QFETCH(Names, expected);
        QFETCH(int, selected);
        QFETCH(QByteArray, file);
        QVERIFY(file != "/" || QDir().mkdir(m_path));
        QComboBox combo;
        addSorted(&combo, list);
        combo.setCurrentIndex(combo.count() - 1);
        m_settings.writeWhole(settings::name::ComboSource, 9);

        sources::addToList(&combo, typed, m_path, m_settings, m_platform, m_select);
        const bool saved = !file.isEmpty() && file != "/";
        QCOMPARE(entries(combo), expected);
        QCOMPARE(combo.currentIndex(), selected);
        QCOMPARE(m_selected, (saved ? QList<int>{selected} : QList<int>{}));
        QCOMPARE(m_settings.readPath(settings::name::ComboSource), saved ? QString::number(selected) : "9");
        QCOMPARE(QFileInfo(m_path).isFile(), saved);
        QCOMPARE(readBytes(m_path), saved ? file : QByteArray());
        QCOMPARE(m_platform.msgBoxes.size(), size_t(file == "/" ? 1 : 0));
    }

    void refresh_data()
    {
        QTest::addColumn<QString>("storedIndex"); // null: no "ComboSource"
        QTest::addColumn<int>("selected");
        QTest::newRow("missing") << QString() << 0;
        QTest::newRow("beyond the list") << "3" << 0;
        QTest::newRow("negative") << "-1" << 0;
        QTest::newRow("valid") << "2" << 2;
        QTest::newRow("empty list") << "0" << -1;
    }
    void refresh()
    {
        QFETCH(QString, storedIndex);
        QFETCH(int, selected);
        QVERIFY(writeBytes(m_path, selected < 0 ? "  \r\n" : "c\r\na\r\nb\r\n"));
        if (!storedIndex.isNull())
            m_settings.writePath(settings::name::ComboSource, storedIndex);
        QComboBox combo;
        combo.addItem("stale");
        refreshList(&combo, m_path, m_settings, m_select);
        QCOMPARE(combo.currentIndex(), selected);
        QCOMPARE(m_selected, (selected >= 0 ? QList<int>{selected} : QList<int>{}));
        QCOMPARE(entries(combo), (selected >= 0 ? Names{"a", "b", "c"} : Names{}));
    }

    // Editing writes the list first when there is no file, then starts the editor.
    void edit_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<QByteArray>("fileAfter");
        QTest::addColumn<QString>("message"); // "|"-separated parts of the one message; empty: none
        QTest::newRow("file present") << "present" << QByteArray("x\r\n") << QString();
        QTest::newRow("file missing") << "missing" << QByteArray("A\r\nb\r\n") << QString();
        QTest::newRow("cannot be written") << "unwritable" << QByteArray() << "no-folder/sources.txt";
        QTest::newRow("editor fails") << "editor fails" << QByteArray("x\r\n") << "ed: not allowed here";
    }
    void edit()
    {
        QFETCH(QString, situation);
        QFETCH(QByteArray, fileAfter);
        QFETCH(QString, message);
        const QString path = situation == "unwritable" ? sourcesFilePath(m_dir.path() + "/no-folder") : m_path;
        QVERIFY(situation == "missing" || situation == "unwritable" || writeBytes(path, "x\r\n"));
        if (situation == "editor fails")
            m_platform.shellErrors.insert("ed " + path, RuntimeError(errnum::PermissionDenied, "not allowed here"));
        QComboBox combo;
        addSorted(&combo, {"b", "A"});
        editList(&combo, path, m_platform, {"ed"});
        QCOMPARE(readBytes(path), fileAfter);
        QCOMPARE(entries(combo), (Names{"A", "b"}));
        QCOMPARE(m_platform.shells.size(), size_t(situation == "unwritable" ? 0 : 1));
        for (const auto& call : m_platform.shells)
            QCOMPARE(call.commandLine + QString::number(call.windowStyle), "ed " + path + "1");
        QCOMPARE(m_platform.msgBoxes.size(), size_t(message.isEmpty() ? 0 : 1));
        for (const QString& part : message.split(QLatin1Char('|'), Qt::SkipEmptyParts))
            QVERIFY2(m_platform.msgBoxes[0].prompt.contains(part), qPrintable(m_platform.msgBoxes[0].prompt));
    }

    // A program folder the user cannot write sends the list to the user's own
    // data folder; "Edit" opens the file saves go to with the first program that starts.
    void perUserListAndOpeners()
    {
        const QString app = m_dir.path() + "/bin", own = m_dir.path() + "/data/anchorly/sources.txt";
        m_platform.appFolder = app;
        m_platform.dataFolder = m_dir.path() + "/data";
        const auto location = [this] {
            const SourcesLocation where = sourcesLocation(m_platform);
            return where.readPath + " < > " + where.savePath;
        };
        QCOMPARE(location(), app + "/sources.txt < > " + app + "/sources.txt");
        m_platform.readOnlyFolders << app;
        QCOMPARE(location(), app + "/sources.txt < > " + own);
        QComboBox combo;
        addSorted(&combo, {"b", "A"});
        m_platform.shellErrors.insert("xdg-open " + own, RuntimeError(errnum::FileNotFound, "gone"));
        QVERIFY(makeSaveFolder(sourcesLocation(m_platform), m_platform));
        editList(&combo, own, m_platform);
        QCOMPARE(readBytes(own), QByteArray("A\r\nb\r\n"));
        QCOMPARE(location(), own + " < > " + own);
        QCOMPARE(m_platform.shells.size(), size_t(2));
        QCOMPARE(m_platform.shells.back().commandLine, "gnome-text-editor " + own);
        QVERIFY(m_platform.msgBoxes.empty());
        // Nothing starts: the message names the file, for the user to open by hand.
        editList(&combo, own, m_platform, {"xdg-open"});
        QCOMPARE(m_platform.msgBoxes.size(), size_t(1));
        QVERIFY(m_platform.msgBoxes[0].prompt.endsWith(" in any text editor, then press Refresh:\r\n" + own));
        // A data folder that cannot be made is named, with the reason.
        m_platform.dataFolder = own;
        QVERIFY(!makeSaveFolder(sourcesLocation(m_platform), m_platform));
        QVERIFY(m_platform.msgBoxes[1].prompt.contains(":\r\n" + own + "/anchorly\r\n\r\nNot a directory\r\n"));
    }
};

QTEST_MAIN(TestSources)
#include "tst_sources.moc"
