#include "sources/SourcesLocation.h"

#include "platform/Platform.h"
#include "sources/Sources.h"

#include <QDir>
#include <QFileInfo>

namespace anchorly::sources {

SourcesLocation sourcesLocation(const Platform& platform)
{
    const QString appPath = platform.appPath();
    const QString programList = sourcesFilePath(appPath);
    if (platform.canWriteFolder(appPath))
        return {programList, programList};

    const QString ownList = sourcesFilePath(platform.userDataFolder() + QStringLiteral("/anchorly"));
    // Once the user's own list exists it is the list the user works on, even
    // when it cannot be read (the built-in list then stands in, as for any
    // unreadable list): the shared list would hide why the user's edits are gone.
    return {QFileInfo::exists(ownList) ? ownList : programList, ownList};
}

void makeSaveFolder(const SourcesLocation& location)
{
    QDir().mkpath(QFileInfo(location.savePath).path());
}

} // namespace anchorly::sources
