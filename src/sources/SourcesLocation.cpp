#include "sources/SourcesLocation.h"

#include "platform/AppInfo.h"
#include "platform/Platform.h"
#include "sources/Sources.h"

#include <QFile>
#include <QFileInfo>
#include <filesystem>
#include <system_error>

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

bool makeSaveFolder(const SourcesLocation& location, Platform& platform)
{
    const QString folder = QFileInfo(location.savePath).path();
    // QDir::mkpath keeps the reason to itself; a folder above that the user
    // may not write is worth naming.
    std::error_code error;
    std::filesystem::create_directories(QFile::encodeName(folder).toStdString(), error);
    if (!error)
        return true;
    platform.msgBox(QStringLiteral("The folder for your sources list could not be created:\r\n") + folder +
                        QStringLiteral("\r\n\r\n") + QString::fromLocal8Bit(error.message().c_str()) +
                        QStringLiteral("\r\n\r\nThe list keeps its previous entries."),
                    MsgStyle::Exclamation, QString::fromLatin1(app::kTitle));
    return false;
}

} // namespace anchorly::sources
