#pragma once

// The byte format of the sources file, apart from any combo box, so that
// the upkeep commands can save a list before showing it and tests can feed
// devices that fail.

#include <QByteArray>
#include <QString>
#include <QStringList>

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
    bool windows1252 = false;   // the file was not UTF-8: the Western 8-bit code page
    bool byteOrderMark = false; // a UTF-8 file that began with a byte-order mark
    bool operator==(const FileEncoding& other) const
    {
        return windows1252 == other.windows1252 && byteOrderMark == other.byteOrderMark;
    }
    bool operator!=(const FileEncoding& other) const { return !(*this == other); }
};

// The encoding of the file the combo's list was last loaded from or saved
// to; it travels with the list, whichever file that is.
FileEncoding fileEncodingOf(const QComboBox* combo);
void setFileEncodingOf(QComboBox* combo, FileEncoding encoding);

// Appends the names read from the device (see LoadComboFromFile for the line
// rules) and tells how the file was encoded: UTF-8 when all of it is UTF-8
// (a leading byte-order mark is remembered, not part of the first name),
// else Windows-1252. Returns false when a read fails; the names of the lines
// completed before the failure have been appended, a line cut off by it is
// dropped.
bool readSourceNames(QIODevice& device, QStringList& names, FileEncoding* encoding = nullptr);

// The file content for the names, each followed by CR LF; no names give no
// bytes. A Windows-1252 file stays so while every name has its bytes there;
// otherwise the whole file is UTF-8, with the byte-order mark it had.
// encoding is updated to the form written.
QByteArray sourcesFileBytes(const QStringList& names, FileEncoding& encoding);
QByteArray sourcesFileBytes(const QStringList& names); // UTF-8 without byte-order mark

// Replaces the file at path with the names through a temporary file in the
// same folder, flushed to disk and renamed over the old one. On failure the
// old file stays, the user gets a message naming the file and the reason,
// and the result is false; on success encoding holds the form written.
bool saveSourceNames(const QStringList& names, const QString& path, Platform& platform, FileEncoding& encoding);
bool saveSourceNames(const QStringList& names, const QString& path, Platform& platform);

// Case-blind order of the list: a before b.
bool caseBlindLess(const QString& a, const QString& b);

} // namespace anchorly::sources
