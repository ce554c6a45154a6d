// The user's own folders and what the user may write.

#include "platform/QtPlatform.h"

#include <QFile>
#include <QStandardPaths>

#include <unistd.h>

namespace anchorly {

QString QtPlatform::userDataFolder() const
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}

bool QtPlatform::canWriteFolder(const QString& folder) const
{
    // access() answers for the real user and knows read-only mounts and access
    // lists, which permission bits alone do not tell. Creating a file needs
    // both write and search permission on the folder.
    return ::access(QFile::encodeName(folder).constData(), W_OK | X_OK) == 0;
}

} // namespace anchorly
