#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace anchorly::test {

// The whole content of a file; empty when it cannot be read.
inline QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Writes a file, creating its folder; readable and writable by its owner only, executable on request.
inline bool writeBytes(const QString& path, const QByteArray& bytes, bool executable = false)
{
    QFile file(path);
    return QDir().mkpath(QFileInfo(path).absolutePath()) && file.open(QIODevice::WriteOnly) &&
           file.write(bytes) == bytes.size() &&
           file.setPermissions(QFile::ReadOwner | QFile::WriteOwner |
                               (executable ? QFile::ExeOwner : QFile::Permissions()));
}

} // namespace anchorly::test
