#include "sources/SourcesFile.h"

#include "platform/AppInfo.h"
#include "platform/CodePage.h"
#include "platform/Platform.h"
#include "sources/Sources.h"

#include <QComboBox>
#include <QFile>
#include <QSaveFile>
#include <QSignalBlocker>
#include <QStringListModel>
#include <algorithm>
#include <iterator>

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

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";
constexpr char kEncodingProperty[] = "sourcesFileEncoding";

bool isBlankLine(QStringView line)
{
    return std::all_of(line.cbegin(), line.cend(), [](QChar c) { return c == QLatin1Char(' '); });
}

// The file's text and how it was encoded. A byte-order mark counts only in
// front of UTF-8: before anything else those bytes are three characters of
// the 8-bit code page like any others.
QString decodeFile(QByteArrayView bytes, FileEncoding& encoding)
{
    encoding = {};
    if (auto text = fromExactUtf8(bytes)) {
        if (text->startsWith(QChar(0xFEFF))) {
            encoding.byteOrderMark = true;
            text->remove(0, 1);
        }
        return *std::move(text);
    }
    encoding.windows1252 = true;
    return fromWindows1252(bytes);
}

} // namespace

FileEncoding fileEncodingOf(const QComboBox* combo)
{
    const int bits = combo->property(kEncodingProperty).toInt();
    return {(bits & 1) != 0, (bits & 2) != 0};
}

void setFileEncodingOf(QComboBox* combo, FileEncoding encoding)
{
    combo->setProperty(kEncodingProperty, (encoding.windows1252 ? 1 : 0) | (encoding.byteOrderMark ? 2 : 0));
}

bool readSourceNames(QIODevice& device, QStringList& names, FileEncoding* encoding)
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
    // A last line without its end counts like any other, unless the read
    // broke off in it: then it may be a name cut short.
    if (readFailed) {
        qsizetype end = bytes.size();
        while (end > 0 && bytes.at(end - 1) != '\r' && bytes.at(end - 1) != '\n')
            --end;
        bytes.truncate(end);
    }

    FileEncoding found;
    const QString text = decodeFile(bytes, found);
    if (encoding)
        *encoding = found;

    // CR LF, CR and LF each end a line: lists come from Windows and from
    // Linux editors alike.
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text.at(i) != QLatin1Char('\r') && text.at(i) != QLatin1Char('\n'))
            continue;
        const QStringView line = QStringView(text).mid(start, i - start);
        if (!isBlankLine(line))
            names.append(line.toString());
        if (i + 1 < text.size() && text.at(i) == QLatin1Char('\r') && text.at(i + 1) == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    return !readFailed;
}

QByteArray sourcesFileBytes(const QStringList& names, FileEncoding& encoding)
{
    const QByteArray lineEnd("\r\n", 2);
    QByteArray bytes;
    if (encoding.windows1252) {
        for (const QString& name : names) {
            const std::optional<QByteArray> encoded = toWindows1252(name);
            if (!encoded) {
                // A name the code page cannot hold: the whole file moves to UTF-8.
                encoding = {};
                return sourcesFileBytes(names, encoding);
            }
            bytes.append(*encoded).append(lineEnd);
        }
        return bytes;
    }
    if (names.isEmpty())
        return bytes;
    // Without a mark, a first name that begins with U+FEFF would lose it to the next load.
    if (names.first().startsWith(QChar(0xFEFF)))
        encoding.byteOrderMark = true;
    if (encoding.byteOrderMark)
        bytes.append(kByteOrderMark, 3);
    for (const QString& name : names)
        bytes.append(name.toUtf8()).append(lineEnd);
    return bytes;
}

QByteArray sourcesFileBytes(const QStringList& names)
{
    FileEncoding utf8;
    return sourcesFileBytes(names, utf8);
}

bool saveSourceNames(const QStringList& names, const QString& path, Platform& platform, FileEncoding& encoding)
{
    FileEncoding written = encoding;
    QSaveFile file(path);
    QString reason;
    if (!file.open(QIODevice::WriteOnly)) {
        reason = file.errorString();
    } else {
        const QByteArray bytes = sourcesFileBytes(names, written);
        if (file.write(bytes) != bytes.size()) {
            reason = file.errorString();
            file.cancelWriting();
        }
        // commit() flushes, syncs and renames over the old file; after a
        // cancelled write it only removes the temporary file.
        if (!file.commit() && reason.isEmpty())
            reason = file.errorString();
    }
    if (reason.isEmpty()) {
        encoding = written;
        return true;
    }

    platform.msgBox(QStringLiteral("The sources list could not be saved to the file\r\n") + path +
                        QStringLiteral("\r\n\r\n") + reason +
                        QStringLiteral("\r\n\r\nThe file was left as it was; the list keeps its previous entries."),
                    MsgStyle::Exclamation, QString::fromLatin1(app::kTitle));
    return false;
}

bool saveSourceNames(const QStringList& names, const QString& path, Platform& platform)
{
    FileEncoding utf8;
    return saveSourceNames(names, path, platform, utf8);
}

void addSorted(QComboBox* combo, const QStringList& names)
{
    if (names.isEmpty())
        return;
    QStringListModel* model = sourcesModel(combo);
    const QSignalBlocker blocker(combo);
    const int selected = combo->currentIndex();
    const QStringList current = model->stringList();

    if (names.size() == 1) {
        // One name goes in at its place; the rows after it shift, and with
        // them the selection.
        const int at = int(std::upper_bound(current.cbegin(), current.cend(), names.first(), caseBlindLess) -
                           current.cbegin());
        model->insertRows(at, 1);
        model->setData(model->index(at), names.first());
    } else {
        // Inserting many names one by one would shift the whole list each
        // time; merging and filling once keeps a large list cheap.
        QStringList incoming = names;
        stableSortCaseBlind(incoming);
        QStringList merged;
        merged.reserve(current.size() + incoming.size());
        // Existing entries go before incoming names that compare equal.
        std::merge(current.cbegin(), current.cend(), incoming.cbegin(), incoming.cend(), std::back_inserter(merged),
                   caseBlindLess);
        const int newSelected =
            selected < 0 ? -1
                         : selected + int(std::lower_bound(incoming.cbegin(), incoming.cend(), current.at(selected),
                                                           caseBlindLess) -
                                          incoming.cbegin());
        model->setStringList(merged);
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
    FileEncoding encoding;
    QFile file(sCurrentFile);
    const bool complete = file.open(QIODevice::ReadOnly) && readSourceNames(file, names, &encoding);
    setFileEncodingOf(cCombobox, encoding);
    if (!complete)
        names.append(builtinSourceNames());
    // One insertion for file names and fallback together keeps it a single sort.
    addSorted(cCombobox, names);
}

bool Combo2List(QComboBox* cCombobox, const QString& path, Platform& platform)
{
    const QStringList names = sourceNamesOf(cCombobox);
    FileEncoding encoding = fileEncodingOf(cCombobox);
    if (!saveSourceNames(names, path, platform, encoding))
        return false;
    setFileEncodingOf(cCombobox, encoding);
    return true;
}

int fileexists(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? -1 : 0;
}

} // namespace anchorly::sources
