#include "sources/SourcesFile.h"

#include "platform/AppInfo.h"
#include "platform/Platform.h"
#include "sources/Sources.h"

#include <QComboBox>
#include <QFile>
#include <QSaveFile>
#include <QSignalBlocker>
#include <algorithm>

namespace anchorly::sources {

const QStringList& builtinSourceNames()
{
    static const QStringList names = {
        QStringLiteral("ABC Online"),
        QStringLiteral("ABCNews.com"),
        QStringLiteral("AllAfrica.com"),
        QStringLiteral("AME Info"),
        QStringLiteral("AnandTech.com"),
        QStringLiteral("Ananova.com"),
        QStringLiteral("Billboard"),
        QStringLiteral("BizReport.com"),
        QStringLiteral("Boston Globe"),
        QStringLiteral("Boston Herald"),
        QStringLiteral("Business Week"),
        QStringLiteral("CNET"),
        QStringLiteral("CNN"),
        QStringLiteral("Computerworld.com"),
        QStringLiteral("EContent"),
        QStringLiteral("Electronic Telegraph"),
        QStringLiteral("Engadget.com"),
        QStringLiteral("eWeek"),
        QStringLiteral("Forbes"),
        QStringLiteral("Fortune.com"),
        QStringLiteral("F-Secure"),
        QStringLiteral("GameInfoWire"),
        QStringLiteral("Gamespot"),
        QStringLiteral("Globe and Mail"),
        QStringLiteral("Guardian Unlimited"),
        QStringLiteral("Home Theater"),
        QStringLiteral("IDGNet New Zealand"),
        QStringLiteral("IOL"),
        QStringLiteral("ITworld.com"),
        QStringLiteral("IWantMedia.com"),
        QStringLiteral("Jakarta Post"),
        QStringLiteral("JavaBoutique"),
        QStringLiteral("iWon"),
        QStringLiteral("Learning Circuits"),
        QStringLiteral("line56"),
        QStringLiteral("LinuxToday.com"),
        QStringLiteral("Mac Observer"),
        QStringLiteral("marcus evans"),
        QStringLiteral("Mondaq"),
        QStringLiteral("National Post Online"),
        QStringLiteral("NetLib"),
        QStringLiteral("New York Times"),
        QStringLiteral("PC Magazine"),
        QStringLiteral("PCWorld.com"),
        QStringLiteral("Popular Mechanics"),
        QStringLiteral("San Francisco Chronicle"),
        QStringLiteral("Seattle Times"),
        QStringLiteral("Silicon.com"),
        QStringLiteral("Slashdot.org"),
        QStringLiteral("Sophos Anti Virus"),
        QStringLiteral("TechWeb.com"),
        QStringLiteral("The Australian Industry Standard"),
        QStringLiteral("The iMac"),
        QStringLiteral("The Inquirer"),
        QStringLiteral("The New Zealand Herald"),
        QStringLiteral("The Register"),
        QStringLiteral("theWHIR"),
        QStringLiteral("TomsHardware.com"),
        QStringLiteral("USA Today"),
        QStringLiteral("VNUnet.com"),
        QStringLiteral("Web Host Directory"),
        QStringLiteral("Wired News"),
        QStringLiteral("ZDNet"),
    };
    return names;
}

QString sourcesFilePath(const QString& appPath)
{
    // Plain joining: a folder ending in "/" gives "//", which the system reads as one.
    return appPath + QStringLiteral("/sources.txt");
}

bool caseBlindLess(const QString& a, const QString& b)
{
    return QString::compare(a, b, Qt::CaseInsensitive) < 0;
}

namespace {

bool isBlankLine(const QByteArray& line)
{
    return std::all_of(line.cbegin(), line.cend(), [](char c) { return c == ' '; });
}

void appendLine(const QByteArray& bytes, qsizetype start, qsizetype end, QStringList& names)
{
    const QByteArray line = bytes.mid(start, end - start);
    if (!isBlankLine(line))
        names.append(QString::fromLocal8Bit(line));
}

} // namespace

bool readSourceNames(QIODevice& device, QStringList& names)
{
    QByteArray bytes;
    bool readFailed = false;
    char chunk[64 * 1024];
    for (;;) {
        const qint64 got = device.read(chunk, sizeof chunk);
        if (got < 0) {
            readFailed = true;
            break;
        }
        if (got == 0)
            break;
        bytes.append(chunk, got);
    }

    qsizetype start = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes.at(i) != '\r')
            continue;
        appendLine(bytes, start, i, names);
        if (i + 1 < bytes.size() && bytes.at(i + 1) == '\n')
            ++i;
        start = i + 1;
    }
    // A last line without its end counts like any other, unless the read
    // broke off in it: then it may be a name cut short.
    if (!readFailed && start < bytes.size())
        appendLine(bytes, start, bytes.size(), names);
    return !readFailed;
}

QByteArray sourcesFileBytes(const QStringList& names)
{
    QByteArray bytes;
    for (const QString& name : names) {
        bytes.append(name.toLocal8Bit());
        bytes.append("\r\n", 2);
    }
    return bytes;
}

bool saveSourceNames(const QStringList& names, const QString& path, Platform& platform)
{
    QSaveFile file(path);
    QString reason;
    if (!file.open(QIODevice::WriteOnly)) {
        reason = file.errorString();
    } else {
        const QByteArray bytes = sourcesFileBytes(names);
        if (file.write(bytes) != bytes.size()) {
            reason = file.errorString();
            file.cancelWriting();
        }
        // commit() flushes, syncs and renames over the old file; after a
        // cancelled write it only removes the temporary file.
        if (!file.commit() && reason.isEmpty())
            reason = file.errorString();
    }
    if (reason.isEmpty())
        return true;

    platform.msgBox(QStringLiteral("The sources list could not be saved to the file\r\n") + path +
                        QStringLiteral("\r\n\r\n") + reason +
                        QStringLiteral("\r\n\r\nThe file was left as it was; the list keeps its previous entries."),
                    MsgStyle::Exclamation, QString::fromLatin1(app::kTitle));
    return false;
}

void addSorted(QComboBox* combo, const QStringList& names)
{
    if (names.isEmpty())
        return;
    QStringList incoming = names;
    std::stable_sort(incoming.begin(), incoming.end(), caseBlindLess);

    const QSignalBlocker blocker(combo);
    const int selected = combo->currentIndex();
    const int existing = combo->count();

    if (existing == 0) {
        combo->addItems(incoming);
    } else if (incoming.size() == 1) {
        QStringList current;
        current.reserve(existing);
        for (int i = 0; i < existing; ++i)
            current.append(combo->itemText(i));
        const auto at = std::upper_bound(current.cbegin(), current.cend(), incoming.first(), caseBlindLess);
        combo->insertItem(int(at - current.cbegin()), incoming.first());
    } else {
        // Inserting many names one by one would shift the whole list each
        // time; merging and filling once keeps a large list cheap.
        QStringList merged;
        merged.reserve(existing + incoming.size());
        int newSelected = -1;
        qsizetype next = 0;
        for (int i = 0; i < existing; ++i) {
            const QString text = combo->itemText(i);
            // Existing entries go before incoming names that compare equal.
            while (next < incoming.size() && caseBlindLess(incoming.at(next), text))
                merged.append(incoming.at(next++));
            if (i == selected)
                newSelected = int(merged.size());
            merged.append(text);
        }
        while (next < incoming.size())
            merged.append(incoming.at(next++));
        combo->clear();
        combo->addItems(merged);
        combo->setCurrentIndex(newSelected);
    }

    // A combo selects its first entry by itself when it gets its first
    // entries; adding names must not select anything.
    if (selected == -1 && combo->currentIndex() != -1)
        combo->setCurrentIndex(-1);
}

void LoadInternalList(QComboBox* cCombobox)
{
    addSorted(cCombobox, builtinSourceNames());
}

void LoadComboFromFile(QComboBox* cCombobox, const QString& sCurrentFile)
{
    {
        const QSignalBlocker blocker(cCombobox);
        cCombobox->clear();
    }
    QStringList names;
    QFile file(sCurrentFile);
    const bool complete = file.open(QIODevice::ReadOnly) && readSourceNames(file, names);
    if (!complete)
        names.append(builtinSourceNames());
    // One insertion for file names and fallback together keeps it a single sort.
    addSorted(cCombobox, names);
}

bool Combo2List(QComboBox* cCombobox, const QString& path, Platform& platform)
{
    QStringList names;
    names.reserve(cCombobox->count());
    for (int i = 0; i < cCombobox->count(); ++i)
        names.append(cCombobox->itemText(i));
    return saveSourceNames(names, path, platform);
}

int fileexists(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? -1 : 0;
}

} // namespace anchorly::sources
