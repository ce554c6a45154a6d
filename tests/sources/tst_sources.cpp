#include "fakes/FakePlatform.h"
#include "fakes/MemoryRegistryApi.h"
#include "settings/Registry.h"
#include "settings/Settings.h"
#include "sources/Sources.h"
#include "sources/SourcesFile.h"

#include <QBuffer>
#include <QComboBox>
#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <memory>
#include <sys/resource.h>

using namespace anchorly;
using namespace anchorly::sources;
using Names = QStringList;

namespace {

Names entries(const QComboBox& combo)
{
    Names list;
    for (int i = 0; i < combo.count(); ++i)
        list << combo.itemText(i);
    return list;
}

QByteArray contentOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
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

private slots:
    void init();
    void load_data();
    void load();
    void readErrorKeepsCompletedLines();
    void save_data();
    void save();
    void builtinList();
    void addToListCases_data();
    void addToListCases();
    void refresh_data();
    void refresh();
    void edit_data();
    void edit();
    void editorChoice();

private:
    QString stored() { return m_settings.readPath(settings::name::ComboSource); }

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
    test::MemoryRegistryApi m_api;
    registry::Registry m_registry{m_api, {}};
    settings::Settings m_settings{m_registry};
    std::unique_ptr<test::FakePlatform> m_platform;
    QList<int> m_selected;
    const std::function<void(int)> m_select = [this](int index) { m_selected.append(index); };
};

void TestSources::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_path = sourcesFilePath(m_dir->path());
    m_api.keys.clear();
    m_settings.createKey();
    m_platform = std::make_unique<test::FakePlatform>();
    m_selected.clear();
}

// --- Reading and writing the sources file ---

void TestSources::load_data()
{
    QTest::addColumn<QByteArray>("content"); // a null array: no file; "/": a folder in its place
    QTest::addColumn<Names>("expected");
    Names builtin = builtinSourceNames();
    std::stable_sort(builtin.begin(), builtin.end(), caseBlindLess);

    QTest::newRow("blank lines") << QByteArray("Wired News\r\n\r\n   \r\n  CNN\r\n") << Names{"  CNN", "Wired News"};
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
    QTest::newRow("40000 names") << QByteArray(many.join("\r\n").toLatin1()) << many;
}

void TestSources::load()
{
    QFETCH(QByteArray, content);
    QFETCH(Names, expected);
    if (content == "/")
        QVERIFY(QDir().mkdir(m_path));
    else if (!content.isNull())
        QVERIFY(writeFile(m_path, content));
    QComboBox combo;
    combo.addItems({"stale", "entries"});

    LoadComboFromFile(&combo, m_path);
    QCOMPARE(entries(combo), expected);
    QCOMPARE(combo.currentIndex(), -1);
    QCOMPARE(QFileInfo::exists(m_path), !content.isNull());
}

void TestSources::readErrorKeepsCompletedLines()
{
    BreakingDevice device;
    device.setData("kept\r\nalso kept\rcut sho");
    QVERIFY(device.open(QIODevice::ReadOnly));
    Names names{"earlier"};
    QVERIFY(!readSourceNames(device, names));
    QCOMPARE(names, (Names{"earlier", "kept", "also kept"}));
}

void TestSources::save_data()
{
    QTest::addColumn<QString>("how"); // "": a plain folder; "folder": a folder in place of the file; "full": disk full
    QTest::addColumn<Names>("added");
    QTest::addColumn<QByteArray>("expected"); // the file's content afterwards
    QTest::newRow("display order") << "" << Names{"b", "A"} << QByteArray("A\r\nb\r\n");
    QTest::newRow("empty list") << "" << Names{} << QByteArray("");
    QTest::newRow("blanks kept") << "" << Names{"  CNN "} << QByteArray("  CNN \r\n");
    QTest::newRow("folder in place") << "folder" << Names{"a"} << QByteArray("old\r\n");
    QTest::newRow("disk full") << "full" << Names{QString(200000, QLatin1Char('x'))} << QByteArray("old\r\n");
}

void TestSources::save()
{
    QFETCH(QString, how);
    QFETCH(Names, added);
    QFETCH(QByteArray, expected);
    const QString old = how == "folder" ? m_path + "/inside" : m_path;
    QVERIFY(how != "folder" || QDir().mkdir(m_path));
    QVERIFY(writeFile(old, "old\r\n"));
    QComboBox combo;
    for (const QString& name : added)
        addSorted(&combo, {name});

    // Writes beyond a file size limit fail as on a full disk, even for root.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = how == "full" ? 64 * 1024 : saved.rlim_cur;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool ok = Combo2List(&combo, m_path, *m_platform);
    setrlimit(RLIMIT_FSIZE, &saved);

    QCOMPARE(ok, how.isEmpty());
    QCOMPARE(contentOf(old), expected);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             Names{"sources.txt"});
    QCOMPARE(fileexists(m_path), how == "folder" ? 0 : -1);
    QCOMPARE(m_platform->msgBoxes.size(), size_t(ok ? 0 : 1));
    if (!ok) {
        QCOMPARE(m_platform->msgBoxes[0].style, MsgStyle::Exclamation);
        QCOMPARE(m_platform->msgBoxes[0].title, QStringLiteral("Anchorly"));
        QVERIFY(m_platform->msgBoxes[0].prompt.contains(m_path));
    }
}

// --- The built-in list and the sorted list ---

void TestSources::builtinList()
{
    // The given names at their places; "" marks the rows written as web addresses.
    const Names given =
        QStringLiteral(
            "ABC Online|||AME Info|||Billboard||Boston Globe|Boston Herald|Business Week|CNET|CNN||EContent|"
            "Electronic Telegraph||eWeek|Forbes||F-Secure|GameInfoWire|Gamespot|Globe and Mail|Guardian Unlimited|"
            "Home Theater|IDGNet New Zealand|IOL|||Jakarta Post|JavaBoutique|iWon|Learning Circuits|line56||"
            "Mac Observer|marcus evans|Mondaq|National Post Online|NetLib|New York Times|PC Magazine||"
            "Popular Mechanics|San Francisco Chronicle|Seattle Times|||Sophos Anti Virus||"
            "The Australian Industry Standard|The iMac|The Inquirer|The New Zealand Herald|The Register|theWHIR||"
            "USA Today||Web Host Directory|Wired News|ZDNet")
            .split(QLatin1Char('|'));
    const Names& names = builtinSourceNames();
    QCOMPARE(names.size(), 63);
    QCOMPARE(given.count(QString()), 17);
    const QRegularExpression address(QStringLiteral("^[A-Za-z0-9-]+(\\.[a-z]{2,})+$"));
    for (int i = 0; i < 63; ++i) {
        QVERIFY2(given[i].isEmpty() ? address.match(names[i]).hasMatch() : names[i] == given[i], qPrintable(names[i]));
        QCOMPARE(names[i].trimmed(), names[i]);
        QCOMPARE(names.count(names[i]), 1);
    }
}

// --- Add to list ---

void TestSources::addToListCases_data()
{
    // Before each add the last entry is selected and "ComboSource" holds 9.
    QTest::addColumn<Names>("list");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<Names>("expected");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QString>("storedIndex");
    QTest::addColumn<QByteArray>("file"); // empty: none written; "/": a folder stands in its place

    QTest::newRow("empty list") << Names{} << " CNN " << Names{"CNN"} << -1 << "9" << QByteArray();
    QTest::newRow("duplicate, blanks around")
        << Names{"CNN", "Wired News"} << "  CNN  " << Names{"CNN", "Wired News"} << 1 << "9" << QByteArray();
    QTest::newRow("new name") << Names{"Wired News", "ZDNet"} << "  CNN  " << Names{"CNN", "Wired News", "ZDNet"} << 0
                              << "0" << QByteArray("CNN\r\nWired News\r\nZDNet\r\n");
    QTest::newRow("other case") << Names{"CNN"} << "cnn" << Names{"CNN", "cnn"} << 1 << "1"
                                << QByteArray("CNN\r\ncnn\r\n");
    QTest::newRow("blanks only") << Names{"CNN"} << "   " << Names{"CNN"} << 0 << "9" << QByteArray();
    QTest::newRow("failed save changes nothing")
        << Names{"CNN", "ZDNet"} << "BBC" << Names{"CNN", "ZDNet"} << 1 << "9" << QByteArray("/");
}

void TestSources::addToListCases()
{
    QFETCH(Names, list);
    QFETCH(QString, typed);
    QFETCH(Names, expected);
    QFETCH(int, selected);
    QFETCH(QString, storedIndex);
    QFETCH(QByteArray, file);
    QVERIFY(file != "/" || QDir().mkdir(m_path));
    QComboBox combo;
    addSorted(&combo, list);
    combo.setCurrentIndex(combo.count() - 1);
    m_settings.writeWhole(settings::name::ComboSource, 9);

    addToList(&combo, typed, m_path, m_settings, *m_platform, m_select);
    QCOMPARE(entries(combo), expected);
    QCOMPARE(combo.currentIndex(), selected);
    QCOMPARE(m_selected, (storedIndex != "9" ? QList<int>{selected} : QList<int>{}));
    QCOMPARE(stored(), storedIndex);
    QCOMPARE(QFileInfo(m_path).isFile(), !file.isEmpty() && file != "/");
    QCOMPARE(contentOf(m_path), file == "/" ? QByteArray() : file);
    QCOMPARE(m_platform->msgBoxes.size(), size_t(file == "/" ? 1 : 0));
}

// --- Refresh ---

void TestSources::refresh_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("storedIndex");
    QTest::addColumn<int>("selected");
    const QByteArray three("c\r\na\r\nb\r\n");
    QTest::newRow("missing") << three << "" << 0;
    QTest::newRow("beyond the list") << three << "5" << 0;
    QTest::newRow("negative") << three << "-1" << 0;
    QTest::newRow("valid") << three << "2" << 2;
    QTest::newRow("empty list") << QByteArray("  \r\n") << "0" << -1;
}

void TestSources::refresh()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, storedIndex);
    QFETCH(int, selected);
    QVERIFY(writeFile(m_path, file));
    if (!storedIndex.isEmpty())
        m_settings.writePath(settings::name::ComboSource, storedIndex);
    QComboBox combo;
    combo.addItem("stale");

    refreshList(&combo, m_path, m_settings, m_select);
    QCOMPARE(combo.currentIndex(), selected);
    QCOMPARE(m_selected, (selected >= 0 ? QList<int>{selected} : QList<int>{}));
    QCOMPARE(entries(combo), (selected >= 0 ? Names{"a", "b", "c"} : Names{}));
}

// --- Edit ---

void TestSources::edit_data()
{
    QTest::addColumn<QString>("situation");
    QTest::addColumn<QByteArray>("fileAfter");
    QTest::addColumn<bool>("started");
    QTest::addColumn<QString>("message"); // "|"-separated parts of the one message; empty: none
    QTest::newRow("file present") << "present" << QByteArray("x\r\n") << true << QString();
    QTest::newRow("file missing") << "missing" << QByteArray("A\r\nb\r\n") << true << QString();
    QTest::newRow("cannot be written") << "unwritable" << QByteArray() << false << "no-folder/sources.txt";
    QTest::newRow("editor fails") << "editor fails" << QByteArray("x\r\n") << true << "\"ed\"|not found here";
}

void TestSources::edit()
{
    QFETCH(QString, situation);
    QFETCH(QByteArray, fileAfter);
    QFETCH(bool, started);
    QFETCH(QString, message);
    const QString path = situation == "unwritable" ? sourcesFilePath(m_dir->path() + "/no-folder") : m_path;
    if (situation == "present" || situation == "editor fails")
        QVERIFY(writeFile(path, "x\r\n"));
    if (situation == "editor fails")
        m_platform->shellErrors.insert("ed " + path, RuntimeError(errnum::FileNotFound, "not found here"));
    QComboBox combo;
    addSorted(&combo, {"b", "A"});

    editList(&combo, path, *m_platform, "ed");
    QCOMPARE(contentOf(path), fileAfter);
    QCOMPARE(entries(combo), (Names{"A", "b"}));
    QCOMPARE(m_platform->shells.size(), size_t(started ? 1 : 0));
    if (started)
        QCOMPARE(m_platform->shells[0].commandLine + QString::number(m_platform->shells[0].windowStyle),
                 "ed " + path + "1");
    QCOMPARE(m_platform->msgBoxes.size(), size_t(message.isEmpty() ? 0 : 1));
    for (const QString& part : message.split(QLatin1Char('|'), Qt::SkipEmptyParts))
        QVERIFY2(m_platform->msgBoxes[0].prompt.contains(part), qPrintable(m_platform->msgBoxes[0].prompt));
}

void TestSources::editorChoice()
{
    const auto only = [](Names present) { return [present](const QString& p) { return present.contains(p); }; };
    QCOMPARE(sourcesEditor(only({"geany", "kate"})), QStringLiteral("kate"));
    QCOMPARE(sourcesEditor(only({"geany"})), QStringLiteral("geany"));
    QCOMPARE(sourcesEditor(only({"vi"})), QStringLiteral("xdg-open"));
}

QTEST_MAIN(TestSources)
#include "tst_sources.moc"
