// The sources list over real files in a temporary folder: line rules and
// encodings of the file, the add, refresh and edit commands, and where the
// list lives.

#include "fakes/FakePlatform.h"
#include "fakes/OddFiles.h"
#include "fakes/TempSettings.h"
#include "fakes/TestFiles.h"
#include "sources/Sources.h"
#include "sources/SourcesFile.h"
#include "sources/SourcesLocation.h"

#include <QComboBox>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

using namespace anchorly;
using namespace anchorly::sources;

class TestSources : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_path;
    test::TempSettings m_stored;
    settings::Settings& m_settings = m_stored.settings;
    test::FakePlatform m_platform;
    QString m_selected; // the selections reported, in order
    const std::function<void(int)> m_select = [this](int index) { m_selected += QString::number(index); };

    // Entries, selected index, selections reported, stored "ComboSource" and message boxes.
    QString seen(const QComboBox& combo)
    {
        QStringList names;
        for (int i = 0; i < combo.count(); ++i)
            names << combo.itemText(i);
        return names.join('|') + QStringLiteral("#%1#%2#%3#%4")
                                     .arg(combo.currentIndex())
                                     .arg(m_selected, m_settings.readPath(settings::name::ComboSource))
                                     .arg(m_platform.msgBoxes.size());
    }

private slots:
    void init()
    {
        QVERIFY(QDir(m_dir.path()).removeRecursively() && QDir().mkpath(m_dir.path()));
        m_path = sourcesFilePath(m_dir.path());
        m_settings.createKey();
        m_settings.writeWhole(settings::name::ComboSource, 9);
        m_platform = test::FakePlatform();
        m_selected.clear();
    }

    // A file loaded, then a name added: what the list and the file hold afterwards.
    void loadAndAdd_data()
    {
        QTest::addColumn<QByteArray>("content"); // null: no file; else a kind of test::placeFile's
        QTest::addColumn<QString>("added");
        QTest::addColumn<QString>("state"); // "built-in" stands for the 63 built-in names
        QTest::addColumn<QByteArray>("after");
        const auto row = [](const char* name, QByteArray content, const QString& added, const char* state,
                            QByteArray after) { QTest::newRow(name) << content << added << state << after; };
        QByteArray high; // every byte the code page maps apart from Latin-1, the five undefined ones included
        for (char byte = '\x80'; byte != '\xA0'; ++byte)
            high += byte;
        row("blank lines, leading blanks, a tab", "Wired News\r\n\r\n   \r\n\t\r\n  CNN\r\n", "BBC",
            "\t|  CNN|BBC|Wired News#2#2#2#0", "\t\r\n  CNN\r\nBBC\r\nWired News\r\n");
        row("CR, LF, CR LF, no last end", "c\rb\na\r\n\nd", "  E  ", "a|b|c|d|E#4#4#4#0", "a\r\nb\r\nc\r\nd\r\nE\r\n");
        row("case-blind, stable", "b\r\nB\r\na\r\n", "A", "a|A|b|B#1#1#1#0", "a\r\nA\r\nb\r\nB\r\n");
        row("in order already, ties kept", "a\r\nA\r\nb\r\n", "B", "a|A|b|B#3#3#3#0", "a\r\nA\r\nb\r\nB\r\n");
        row("ties in file order, one before", "B\r\nb\r\na\r\n", "A", "a|A|B|b#1#1#1#0", "a\r\nA\r\nB\r\nb\r\n");
        row("duplicate", "CNN\r\n", " CNN ", "CNN#-1##9#0", "CNN\r\n");
        row("empty file: the first name unsaved", "", "CNN", "CNN#-1##9#0", "");
        row("no file", {}, "", "built-in#-1##9#0", {});
        // A file not read in full is never replaced; the new name stays in the list, unsaved. On a full disk
        // nothing changes.
        for (const char* kind : test::kOddFiles)
            row(kind, kind, "CNN2", kind == QByteArray("|full") ? "A#-1##9#1" : "built-in+#13#13#9#1", {});
        row("Windows-1252 stays", "Caf\xE9\r\n" + high, "Déjà\u00A0vu ÿ",
            "Café|Déjà\u00A0vu ÿ|€\u0081‚ƒ„…†‡ˆ‰Š‹Œ\u008DŽ\u008F\u0090‘’“”•–—˜™š›œ\u009DžŸ#1#1#1#0",
            "Caf\xE9\r\nD\xE9j\xE0\xA0vu \xFF\r\n" + high + "\r\n");
        row("Windows-1252, a name beyond it", "Caf\xE9\n", "Łódź", "Café|Łódź#1#1#1#0",
            "Caf\xE9\r\n\xC5\x81\xC3\xB3\x64\xC5\xBA\r\n");
        row("each line its own encoding", "S\xC3\xBC\x64\x64\x65utsche\r\nCaf\xE9\r\nCaf\xC3\xA9\r\n", "Zoë",
            "Café|Café|Süddeutsche|Zoë#3#3#3#0",
            "Caf\xE9\r\nCaf\xC3\xA9\r\nS\xC3\xBC\x64\x64\x65utsche\r\nZo\xC3\xAB\r\n");
        row("UTF-8 stays", "Caf\xC3\xA9\n", "Zürich", "Café|Zürich#1#1#1#0", "Caf\xC3\xA9\r\nZ\xC3\xBCrich\r\n");
        row("byte-order mark kept", "\xEF\xBB\xBF\x43NN\r\n", "BBC", "BBC|CNN#0#0#0#0",
            "\xEF\xBB\xBF\x42\x42\x43\r\nCNN\r\n");
    }
    void loadAndAdd()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, added);
        QFETCH(QString, state);
        QFETCH(QByteArray, after);
        const QByteArray file = QFile::encodeName(m_path);
        // The odd files' rows run as the unprivileged user, who cannot write the settings.
        QVERIFY(content.isNull() ||
                (content.startsWith('|') ? test::placeFile(QFile::encodeName(m_dir.path()).toStdString(),
                                                           file.toStdString(), content.toStdString(), "A\r\n")
                                         : test::writeBytes(m_path, content)));
        const std::string before = test::stamp(file.toStdString()); // what stands there
        QStringList builtin = builtinSourceNames();
        std::stable_sort(builtin.begin(), builtin.end(), caseBlindLess);
        QComboBox combo;
        combo.addItem("stale");
        LoadComboFromFile(&combo, m_path);
        addToList(&combo, added, m_path, m_settings, m_platform, m_select);
        QVERIFY(test::endCase());
        QStringList withAdded = builtin + QStringList(added); // "built-in+": the name added, unsaved
        std::stable_sort(withAdded.begin(), withAdded.end(), caseBlindLess);
        QCOMPARE(seen(combo),
                 QString(state).replace("built-in+", withAdded.join('|')).replace("built-in", builtin.join('|')));
        if (content.startsWith('|')) // is left exactly as it was
            QVERIFY(test::stamp(file.toStdString()) == before);
        else
            QCOMPARE(test::readBytes(m_path), after);
        // A failed save leaves the old file and no temporary file; a missing file stays missing.
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot),
                 content.isNull() ? QStringList() : QStringList{"sources.txt"});
        for (const auto& box : m_platform.msgBoxes)
            QVERIFY(box.style == MsgStyle::Exclamation && box.title == "Anchorly" && box.prompt.contains(m_path));
    }

    // A list read ahead goes to the next load of the same file only; any other load reads its file as it is then.
    void readAhead()
    {
        const QString other = m_dir.path() + "/other.txt";
        QVERIFY(test::writeBytes(m_path, QByteArray("a\r\n").repeated(40000) + "b\r\n") &&
                test::writeBytes(other, "c\r\n"));
        QComboBox combo;
        const auto load = [&](const QString& path) {
            LoadComboFromFile(&combo, path);
            return QString::number(combo.count()) + ' ' + combo.itemText(combo.count() - 1);
        };
        sources::readAhead(m_path);
        QCOMPARE(load(other), "1 c");
        sources::readAhead(m_path);
        QCOMPARE(load(m_path), "40001 b");
        QVERIFY(test::writeBytes(m_path, "d\r\n"));
        QCOMPARE(load(m_path), "1 d");
    }

    // A refresh selects the stored index when it lies in the list, else the first entry.
    void refresh()
    {
        QVERIFY(test::writeBytes(m_path, "c\r\na\r\nb\r\n"));
        for (const auto& [stored, expected] :
             {std::pair{"Error", "a|b|c#0#0##0"}, {"3", "a|b|c#0#0#3#0"}, {"2", "a|b|c#2#2#2#0"}}) {
            m_settings.writePath(settings::name::ComboSource, stored);
            m_selected.clear();
            QComboBox combo;
            refreshList(&combo, m_path, m_settings, m_select);
            QCOMPARE(seen(combo), expected);
        }
    }

    // A program folder the user cannot write sends the list to the user's own
    // data folder. "Edit" writes a missing file first and opens the file saves
    // go to with the first program that starts and does not fail at once;
    // when none does, or the file cannot be written, the message names it.
    void perUserListAndEdit()
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
        m_platform.shellStatuses.insert("xdg-open " + own, 3); // no program for text files on this desktop
        QVERIFY(makeSaveFolder(sourcesLocation(m_platform), m_platform));
        editList(&combo, own, m_platform);
        QCOMPARE(test::readBytes(own), QByteArray("A\r\nb\r\n"));
        QCOMPARE(location(), own + " < > " + own);
        QCOMPARE(m_platform.shells.size(), qsizetype(2));
        QCOMPARE(m_platform.shells.back(), "gnome-text-editor " + own);
        QVERIFY(m_platform.msgBoxes.empty());
        editList(&combo, own, m_platform, {"xdg-open"});
        QVERIFY(m_platform.msgBoxes.at(0).prompt.endsWith(
            " in any text editor, then press Refresh:\r\n" + own +
            "\r\n\r\nxdg-open: ended with status 3 without opening the file"));
        editList(&combo, m_dir.path() + "/none/sources.txt", m_platform);
        QCOMPARE(m_platform.shells.size(), qsizetype(3));
        QVERIFY(m_platform.msgBoxes.at(1).prompt.contains("/none/sources.txt"));
        // A file that cannot be read as a list is not written over before an edit.
        const QString pipe = m_dir.path() + "/pipe.txt";
        QCOMPARE(::mkfifo(QFile::encodeName(pipe), 0600), 0);
        editList(&combo, pipe, m_platform);
        QCOMPARE(m_platform.shells.size(), qsizetype(3));
        QVERIFY(m_platform.msgBoxes.at(2).prompt.contains(pipe + "\r\n\r\nThe file could not be read in full: Not a "));
        // A data folder that cannot be made is named, with the reason.
        m_platform.dataFolder = own;
        QVERIFY(!makeSaveFolder(sourcesLocation(m_platform), m_platform));
        QVERIFY(m_platform.msgBoxes.at(3).prompt.contains(":\r\n" + own + "/anchorly\r\n\r\nNot a directory\r\n"));
    }
};

QTEST_MAIN(TestSources)
#include "tst_sources.moc"
