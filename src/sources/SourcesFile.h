#pragma once

// The byte format of the sources file, apart from any combo box, so that
// the upkeep commands can save a list before showing it and tests can feed
// devices that fail.

#include <QByteArray>
#include <QString>
#include <QStringList>

class QIODevice;

namespace anchorly {
class Platform;
}

namespace anchorly::sources {

// Appends the names read from the device (see LoadComboFromFile for the line
// rules). Returns false when a read fails; the names of the lines completed
// before the failure have been appended, a line cut off by it is dropped.
bool readSourceNames(QIODevice& device, QStringList& names);

// The file content for the names: each name in the system's 8-bit encoding
// followed by CR LF; no names give no bytes.
QByteArray sourcesFileBytes(const QStringList& names);

// Replaces the file at path with the names through a temporary file in the
// same folder, flushed to disk and renamed over the old one. On failure the
// old file stays, the user gets a message naming the file and the reason,
// and the result is false.
bool saveSourceNames(const QStringList& names, const QString& path, Platform& platform);

// Case-blind order of the list: a before b.
bool caseBlindLess(const QString& a, const QString& b);

} // namespace anchorly::sources
