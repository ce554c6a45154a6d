#include "mainwindow/Application.h"

#include "mainwindow/frmMain.h"
#include "platform/AppInfo.h"
#include "platform/DesktopSession.h"
#include "platform/QtPlatform.h"
#include "resources/Resources.h"
#include "settings/Registry.h"
#include "settings/Settings.h"
#include "sources/Sources.h"
#include "sources/SourcesLocation.h"

#ifdef _WIN32
#include "settings/WinRegistryApi.h"
#else
#include "settings/HiveRegistryApi.h"
#endif

#include <QAccessibleWidget>
#include <QApplication>
#include <QRadioButton>
#include <QThread>
#if QT_CONFIG(sessionmanager)
#include <QSessionManager>
#endif
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

namespace anchorly {

namespace {

// The source mode buttons are one choice of two, but the toolkit's own
// exclusivity is off (both may rest unset, and each takes Tab), which would
// make a screen reader call them check boxes.
class OptionButtonAccessible : public QAccessibleWidget {
public:
    explicit OptionButtonAccessible(QRadioButton* button) : QAccessibleWidget(button, QAccessible::RadioButton) {}

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = true;
        state.checked = button()->isChecked();
        return state;
    }
    QStringList actionNames() const override { return QAccessibleWidget::actionNames() << pressAction(); }
    void doAction(const QString& action) override
    {
        if (action == pressAction())
            button()->click();
        else
            QAccessibleWidget::doAction(action);
    }

private:
    QRadioButton* button() const { return static_cast<QRadioButton*>(widget()); }
};

QAccessibleInterface* optionButtonAccessible(const QString& /*className*/, QObject* object)
{
    auto* button = qobject_cast<QRadioButton*>(object);
    return button != nullptr && !button->autoExclusive() ? new OptionButtonAccessible(button) : nullptr;
}

// A session that ends does what the user's own close would: an open side
// window closes first (the preferences store their fields as they close),
// then the main window stores its values and the program ends. A window not
// yet shown has loaded nothing that a close should store.
void closeForSessionEnd(frmMain& window, bool& endedBeforeShown)
{
    for (int open = 0; open < 8; ++open) {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || !modal->close())
            break;
    }
    if (window.isVisible())
        window.close();
    else
        endedBeforeShown = true;
}

// The toolkit ends the program with exit(1) when its connection to the X
// server breaks (the server ends at logout before the program is asked to
// quit): no event and no aboutToQuit comes first. Functions registered with
// atexit still run then, on the thread that called exit, before the objects
// on the stack (the windows, the settings) are gone. The one registered here
// stores what a close stores: it reads only the controls' own state and
// writes plain files, and touches neither the display nor an event loop.
frmMain* windowToStoreAtExit = nullptr;

void storeAtExit()
{
    frmMain* window = std::exchange(windowToStoreAtExit, nullptr);
    if (window != nullptr && QThread::currentThread() == window->thread())
        window->commitSession();
}

// A display that is named but cannot be reached (a server that has ended,
// another user's) makes the toolkit abort while it starts. Its warnings have
// named the display; one line says what it means, and the status is 1, not a
// core dump.
void displayUnreachable(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type != QtFatalMsg) {
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
        return;
    }
    std::fputs("Anchorly needs a graphical desktop: the display cannot be opened.\n", stderr);
    std::_Exit(1);
}

} // namespace

int runAnchorly(int argc, char** argv)
{
    // A "-platform" option of the toolkit's own chooses as QT_QPA_PLATFORM does.
    const bool platformChosen = std::any_of(argv + std::min(argc, 1), argv + argc,
                                            [](const char* a) { return std::strcmp(a, "-platform") == 0; });
    if (!platformChosen && displayMissing(DisplayEnvironment::current())) {
        std::fprintf(stderr, "%s\n", kNoDisplayMessage);
        return 1;
    }

    // Given as an argument rather than through the environment, so that the
    // browser and the editor started from here make their own choice.
    std::vector<char*> arguments(argv, argv + argc);
    QByteArray platformOption("-platform");
    QByteArray platformName = displayPlatformFor(DisplayEnvironment::current());
    if (!platformName.isEmpty())
        arguments.insert(arguments.begin() + (argc > 0 ? 1 : 0), {platformOption.data(), platformName.data()});
    int argumentCount = int(arguments.size());
    arguments.push_back(nullptr);

    const QtMessageHandler handler = qInstallMessageHandler(displayUnreachable);
    QApplication application(argumentCount, arguments.data());
    qInstallMessageHandler(handler);
    QAccessible::installFactory(optionButtonAccessible);
    SessionEndWatcher sessionEnd;
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

    // A long list is read while the window is built.
    sources::readAhead(sources::sourcesLocation(platform).readPath);
    frmMain window(platform, settings);
    bool endedBeforeShown = false;
    QObject::connect(&sessionEnd, &SessionEndWatcher::sessionEnding, &window,
                     [&window, &endedBeforeShown] { closeForSessionEnd(window, endedBeforeShown); });
    if (!window.Form_Initialize())
        return 0;
    window.Form_Load();
    if (platform.hasEnded() || endedBeforeShown)
        return 0;
#if QT_CONFIG(sessionmanager)
    // Before the session ends (and the display with it) the session manager
    // asks every program to store its data; the logout may still be cancelled.
    QObject::connect(
        &application, &QGuiApplication::commitDataRequest, &window,
        [&window](QSessionManager&) { window.commitSession(); }, Qt::DirectConnection);
#endif
    window.show();
    static const bool registered = std::atexit(storeAtExit) == 0;
    windowToStoreAtExit = registered ? &window : nullptr;
    const int status = QApplication::exec();
    windowToStoreAtExit = nullptr;
    return status;
}

} // namespace anchorly
