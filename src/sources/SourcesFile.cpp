#include "sources/SourcesFile.h"

#include "platform/AppInfo.h"
#include "platform/CodePage.h"
#include "platform/FileReplace.h"
#include "platform/Platform.h"
#include "sources/Sources.h"

#include <QComboBox>
#include <QFile>
#include <QSignalBlocker>
#include <QStringListModel>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

namespace anchorly::sources {

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
// The file the list could not read in full at its last load, and why.
constexpr char kUnreadProperty[] = "sourcesFileUnread";
constexpr char kUnreadReasonProperty[] = "sourcesFileUnreadReason";

// Far beyond 32,767 names of any likely length; a larger file is no list
// and is not read into memory.
constexpr qint64 kMaxListBytes = 32 * 1024 * 1024;

QString tooLarge()
{
    return QStringLiteral("Larger than %1 MB, too large for a list of sources").arg(kMaxListBytes >> 20);
}

// Opens a sources file the only way a list is read: without waiting for a
// writer (a pipe in its place), and only when it is a regular file within
// the size limit. -1 otherwise, with the reason; no reason for a missing file.
int openList(const QString& path, QString& reason)
{
    reason.clear();
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno != ENOENT && errno != ENOTDIR)
            reason = QString::fromLocal8Bit(std::strerror(errno));
        return -1;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        reason = QString::fromLocal8Bit(std::strerror(errno));
    else if (!S_ISREG(info.st_mode))
        reason = QStringLiteral("Not a regular file");
    else if (info.st_size > kMaxListBytes)
        reason = tooLarge();
    if (reason.isEmpty())
        return fd;
    ::close(fd);
    return -1;
}

bool isAscii(QByteArrayView bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) == 0; });
}

} // namespace

FileEncoding fileEncodingOf(const QComboBox* combo)
{
    return combo->property(kEncodingProperty).value<FileEncoding>();
}

void setFileEncodingOf(QComboBox* combo, const FileEncoding& encoding)
{
    combo->setProperty(kEncodingProperty, QVariant::fromValue(encoding));
}

bool readSourceNames(QIODevice& device, QStringList& names, FileEncoding* encoding, QString* reason)
{
    QByteArray bytes;
    // A file's size is known ahead: one buffer of that size, rather than
    // one grown and copied as the chunks come.
    if (!device.isSequential())
        bytes.reserve(qsizetype(std::min(device.size(), kMaxListBytes)) + 1);
    QString failure;
    char chunk[64 * 1024];
    for (;;) {
        const qint64 got = device.read(chunk, sizeof chunk);
        if (got < 0)
            failure = device.errorString();
        if (got <= 0)
            break;
        bytes.append(chunk, got);
        if (bytes.size() > kMaxListBytes) { // a file that grows while it is read
            failure = tooLarge();
            break;
        }
    }
    // A last line without its end counts like any other, unless the read
    // broke off in it: then it may be a name cut short.
    if (!failure.isEmpty()) {
        qsizetype end = bytes.size();
        while (end > 0 && bytes.at(end - 1) != '\r' && bytes.at(end - 1) != '\n')
            --end;
        bytes.truncate(end);
    }

    // Each line in its own encoding: UTF-8 when it is UTF-8, else the 8-bit
    // code page, so one name appended by an old editor garbles no other.
    // CR LF, CR and LF each end a line: lists come from Windows and from
    // Linux editors alike.
    FileEncoding found;
    bool eightBit = false, utf8 = false;
    // Room for a line per line end, up to somewhat more than a list holds: a
    // file of blank lines takes no memory for names it does not have.
    const qsizetype lineEnds =
        std::count_if(bytes.cbegin(), bytes.cend(), [](char c) { return c == '\r' || c == '\n'; });
    names.reserve(names.size() + std::min<qsizetype>(lineEnds + 1, 40000));
    qsizetype start = 0;
    for (qsizetype i = 0; i <= bytes.size(); ++i) {
        if (i < bytes.size() && bytes.at(i) != '\r' && bytes.at(i) != '\n')
            continue;
        QByteArrayView line(bytes.constData() + start, i - start);
        // A byte-order mark counts only in front of UTF-8: before anything
        // else those bytes are three characters of the code page like any others.
        if (start == 0 && line.startsWith(kByteOrderMark) && fromExactUtf8(line)) {
            found.byteOrderMark = true;
            line = line.sliced(3);
        }
        if (!std::all_of(line.begin(), line.end(), [](char c) { return c == ' '; })) {
            if (isAscii(line)) {
                names.append(QString::fromLatin1(line));
            } else if (auto text = fromExactUtf8(line)) {
                names.append(*std::move(text));
                utf8 = true;
            } else {
                names.append(fromWindows1252(line));
                ++found.windows1252Names[names.constLast()];
                eightBit = true;
            }
        }
        if (i + 1 < bytes.size() && bytes.at(i) == '\r' && bytes.at(i + 1) == '\n')
            ++i;
        start = i + 1;
    }
    found.windows1252 = eightBit && !utf8;
    if (encoding)
        *encoding = found;
    if (reason)
        *reason = failure;
    return failure.isEmpty();
}

QByteArray sourcesFileBytes(const QStringList& names, FileEncoding& encoding)
{
    const QByteArray lineEnd("\r\n", 2);
    QByteArray bytes;
    if (names.isEmpty())
        return bytes;
    // Without a mark, a first name that begins with U+FEFF would lose it to the next load.
    if (names.first().startsWith(QChar(0xFEFF)))
        encoding.byteOrderMark = true;
    if (encoding.byteOrderMark)
        bytes.append(kByteOrderMark, 3);
    // Every name the file held goes back in the bytes it was read from; a new
    // one in the code page while the file holds no UTF-8 beyond ASCII and
    // the code page has the name's characters, else in UTF-8.
    QHash<QString, int> left = encoding.windows1252Names;
    FileEncoding written;
    written.byteOrderMark = encoding.byteOrderMark;
    bool eightBit = false, utf8 = false;
    for (const QString& name : names) {
        QByteArray encoded = name.toUtf8();
        if (isAscii(encoded)) {
            bytes.append(encoded).append(lineEnd);
            continue;
        }
        const auto known = left.find(name);
        std::optional<QByteArray> windows1252;
        if ((known != left.end() && known.value() > 0) || encoding.windows1252)
            windows1252 = toWindows1252(name);
        if (windows1252) {
            if (known != left.end())
                --known.value();
            ++written.windows1252Names[name];
            encoded = *std::move(windows1252);
        }
        (windows1252 ? eightBit : utf8) = true;
        bytes.append(encoded).append(lineEnd);
    }
    written.windows1252 = (encoding.windows1252 || eightBit) && !utf8;
    encoding = written;
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
    const QByteArray bytes = sourcesFileBytes(names, written);
    const QString reason = QString::fromLocal8Bit(
        files::replaceFile(QFile::encodeName(path).toStdString(), bytes.toStdString(), 0666).c_str());
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
        if (current.isEmpty()) {
            merged = incoming; // a list being filled: shared, not copied
        } else {
            merged.reserve(current.size() + incoming.size());
            // Existing entries go before incoming names that compare equal.
            std::merge(current.cbegin(), current.cend(), incoming.cbegin(), incoming.cend(),
                       std::back_inserter(merged), caseBlindLess);
        }
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

ListFile readListFile(const QString& path)
{
    ListFile read;
    QFile file;
    const int fd = openList(path, read.reason);
    if (fd >= 0 && !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        read.reason = file.errorString();
        ::close(fd);
    } else if (fd >= 0) {
        read.complete = readSourceNames(file, read.names, &read.encoding, &read.reason);
    }
    return read;
}

void LoadComboFromFile(QComboBox* cCombobox, const QString& sCurrentFile)
{
    {
        const QSignalBlocker blocker(cCombobox);
        cCombobox->clear();
    }
    std::optional<ListFile> read = takeReadAhead(sCurrentFile);
    if (!read)
        read = readListFile(sCurrentFile);
    setFileEncodingOf(cCombobox, read->encoding);
    cCombobox->setProperty(kUnreadProperty, read->reason.isEmpty() ? QString() : sCurrentFile);
    cCombobox->setProperty(kUnreadReasonProperty, read->reason);
    if (!read->complete)
        read->names.append(builtinSourceNames());
    // One insertion for file names and fallback together keeps it a single sort.
    addSorted(cCombobox, read->names);
}

bool mayReplaceList(const QComboBox* combo, const QString& path, Platform& platform)
{
    QString reason;
    if (combo->property(kUnreadProperty).toString() == path) {
        reason = combo->property(kUnreadReasonProperty).toString();
    } else {
        const int fd = openList(path, reason);
        if (fd >= 0)
            ::close(fd);
    }
    if (reason.isEmpty())
        return true;
    platform.msgBox(QStringLiteral("The sources list was not saved to the file\r\n") + path +
                        QStringLiteral("\r\n\r\nThe file could not be read in full: ") + reason +
                        QStringLiteral("\r\n\r\nThe file was left as it was, so that no name in it is lost. The list "
                                       "keeps its entries until the file can be read and you press Refresh."),
                    MsgStyle::Exclamation, QString::fromLatin1(app::kTitle));
    return false;
}

bool Combo2List(QComboBox* cCombobox, const QString& path, Platform& platform)
{
    if (!mayReplaceList(cCombobox, path, platform))
        return false;
    const QStringList names = sourceNamesOf(cCombobox);
    FileEncoding encoding = fileEncodingOf(cCombobox);
    if (!saveSourceNames(names, path, platform, encoding))
        return false;
    setFileEncodingOf(cCombobox, encoding);
    return true;
}

int fileexists(const QString& path)
{
    QString reason;
    const int fd = openList(path, reason);
    if (fd < 0)
        return 0;
    ::close(fd);
    return -1;
}

} // namespace anchorly::sources
