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

// Writes a file, creating its folder; executable for its owner on request.
inline bool writeBytes(const QString& path, const QByteArray& bytes, bool executable = false)
{
    QFile file(path);
    if (!QDir().mkpath(QFileInfo(path).absolutePath()) || !file.open(QIODevice::WriteOnly) ||
        file.write(bytes) != bytes.size())
        return false;
    file.close();
    QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner;
    if (executable)
        permissions |= QFile::ExeOwner;
    return file.setPermissions(permissions);
}

} // namespace anchorly::test
