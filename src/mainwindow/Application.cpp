#include "mainwindow/Application.h"

#include "mainwindow/frmMain.h"
#include "platform/AppInfo.h"
#include "platform/QtPlatform.h"
#include "resources/Resources.h"
#include "settings/Registry.h"
#include "settings/Settings.h"

#ifdef _WIN32
#include "settings/WinRegistryApi.h"
#else
#include "settings/HiveRegistryApi.h"
#endif

#include <QApplication>

namespace anchorly {

int runAnchorly(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(app::kTitle));
    QApplication::setApplicationVersion(
        QStringLiteral("%1.%2.%3").arg(app::kMajor).arg(app::kMinor).arg(app::kRevision));
    QGuiApplication::setDesktopFileName(QString::fromLatin1(app::kDesktopId));
    QApplication::setFont(resources::dialogFont());

    QtPlatform platform;
#ifdef _WIN32
    registry::WinRegistryApi registryApi;
#else
    registry::HiveRegistryApi registryApi(
        (platform.userConfigFolder() + QStringLiteral("/anchorly/registry")).toLocal8Bit().toStdString());
#endif
    registry::Registry registry(
        registryApi, [&platform](const std::string& prompt, int style, const std::string& title) {
            platform.msgBox(QString::fromLocal8Bit(prompt), style, QString::fromLocal8Bit(title));
        });
    settings::Settings settings(registry);

    frmMain window(platform, settings);
    if (!window.Form_Initialize())
        return 0;
    window.Form_Load();
    if (platform.hasEnded())
        return 0;
    window.show();
    return QApplication::exec();
}

} // namespace anchorly
