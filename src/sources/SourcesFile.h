#pragma once

// The byte format of the sources file, apart from any combo box, so that
// the upkeep commands can save a list before showing it and tests can feed
// devices that fail.

#include <QByteArray>
#include <QHash>
#include <QMetaType>
#include <QString>
#include <QStringList>
#include <optional>

class QComboBox;
class QIODevice;

namespace anchorly {
class Platform;
}

namespace anchorly::sources {

// The byte form of a sources file, so that a save writes the names back the
// way the user's file held them. The default is UTF-8 without a byte-order
// mark: a list that came from no file is saved so.
struct FileEncoding {
    // New names go in the Western 8-bit code page: the file held lines in it
    // and no UTF-8 beyond ASCII.
    bool windows1252 = false;
    bool byteOrderMark = false; // the file began with a byte-order mark before UTF-8
    // The names read from lines that were not UTF-8, each with how many such
    // lines held it: they are written back in the code page, byte for byte.
    QHash<QString, int> windows1252Names;
    bool operator==(const FileEncoding& other) const
    {
        return windows1252 == other.windows1252 && byteOrderMark == other.byteOrderMark &&
               windows1252Names == other.windows1252Names;
    }
    bool operator!=(const FileEncoding& other) const { return !(*this == other); }
};

// The encoding of the file the combo's list was last loaded from or saved
// to; it travels with the list, whichever file that is.
FileEncoding fileEncodingOf(const QComboBox* combo);
void setFileEncodingOf(QComboBox* combo, const FileEncoding& encoding);

// Appends the names read from the device (see LoadComboFromFile for the line
// rules) and tells how the file was encoded: each line that is UTF-8 reads
// as UTF-8, any other as Windows-1252 (a leading byte-order mark before
// UTF-8 is remembered, not part of the first name). Returns false, with the
// reason, when a read fails or the content passes the size a list can have;
// the names of the lines completed before the failure have been appended, a
// line cut off by it is dropped.
bool readSourceNames(QIODevice& device, QStringList& names, FileEncoding* encoding = nullptr,
                     QString* reason = nullptr);

// A sources file as read for a list: its names, its encoding, and whether it
// was read in full (else why not; no reason for a file that is not there).
struct ListFile {
    QStringList names;
    FileEncoding encoding;
    QString reason;
    bool complete = false;
};

// Reads the file at path as LoadComboFromFile does; touches no combo box, so
// that it may run on any thread.
ListFile readListFile(const QString& path);

// What a read begun ahead for path has read (see readAhead), waiting for it
// if need be; nothing when no read of that path was begun.
std::optional<ListFile> takeReadAhead(const QString& path);

// The file content for the names, each followed by CR LF; no names give no
// bytes. A name read from a Windows-1252 line goes back in Windows-1252; a
// new one too while the file holds no UTF-8 beyond ASCII and the code page
// has its characters; every other name in UTF-8, after the byte-order mark
// the file had. encoding is updated to the form written.
QByteArray sourcesFileBytes(const QStringList& names, FileEncoding& encoding);
QByteArray sourcesFileBytes(const QStringList& names); // UTF-8 without byte-order mark

// Replaces the file at path with the names through a temporary file in the
// same folder, flushed to disk and renamed over the old one. On failure the
// old file stays, the user gets a message naming the file and the reason,
// and the result is false; on success encoding holds the form written.
bool saveSourceNames(const QStringList& names, const QString& path, Platform& platform, FileEncoding& encoding);
bool saveSourceNames(const QStringList& names, const QString& path, Platform& platform);

// Whether the list may replace the file at path: not when the file exists
// but could not be read in full at the list's last load, or cannot be read
// now (no permission, no regular file, too large): its names would be lost.
// Then the user is told, with the file and the reason, and the result is false.
bool mayReplaceList(const QComboBox* combo, const QString& path, Platform& platform);

// Case-blind order of the list: a before b.
bool caseBlindLess(const QString& a, const QString& b);

} // namespace anchorly::sources

Q_DECLARE_METATYPE(anchorly::sources::FileEncoding)
