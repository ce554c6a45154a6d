#pragma once

#include "fakes/FakePlatform.h"
#include "fakes/MemoryRegistryApi.h"
#include "mainwindow/frmMain.h"
#include "settings/Registry.h"
#include "settings/Settings.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <vector>

namespace anchorly::test {

// The registry operations in memory, remembering the names of the values
// written, in order.
class RecordingRegistryApi : public MemoryRegistryApi {
public:
    std::vector<std::string> writes;

    long RegSetValueExA(Handle key, const std::string& valueName, std::uint32_t type, const char* data,
                        std::uint32_t size) override
    {
        writes.push_back(valueName);
        return MemoryRegistryApi::RegSetValueExA(key, valueName, type, data, size);
    }
};

// A main window over a fake platform and a settings store in memory, with
// the executable's folder in a fresh temporary folder (no sources file).
struct MainWindowFixture {
    QTemporaryDir appFolder;
    FakePlatform platform;
    RecordingRegistryApi registryApi;
    registry::Registry registry{registryApi, [this](const std::string& prompt, int style, const std::string& title) {
                                    platform.msgBox(QString::fromStdString(prompt), style,
                                                    QString::fromStdString(title), QString(), 0);
                                }};
    settings::Settings settings{registry};
    std::unique_ptr<frmMain> window;

    MainWindowFixture() { platform.appFolder = appFolder.path(); }

    // Stores a value in the settings key before the window loads.
    void store(const char* name, const QString& text)
    {
        settings.createKey();
        settings.writePath(name, text);
        registryApi.writes.clear();
    }

    std::string stored(const char* name)
    {
        return registry.GetStringValue(settings::kKeyPath, name).value_or(std::string());
    }

    frmMain& open()
    {
        window = std::make_unique<frmMain>(platform, settings);
        window->Form_Initialize();
        window->Form_Load();
        return *window;
    }

    // Opens the window, shows it and waits until it has the focus.
    frmMain& shown()
    {
        open().show();
        if (!QTest::qWaitForWindowActive(window.get()))
            qFatal("the main window never became active");
        return *window;
    }

    void fill(const QString& url, const QString& description, const QString& source)
    {
        window->txtHREF->setText(url);
        window->txtDESCRIPTION->setText(description);
        window->txtSOURCE->setText(source);
    }

    // The one message box shown, as "style|title|prompt"; the number of boxes when not exactly one.
    QString onlyMessage() const
    {
        if (platform.msgBoxes.size() != 1)
            return QString::number(platform.msgBoxes.size()) + " boxes";
        const auto& box = platform.msgBoxes[0];
        return QString::number(box.style) + '|' + box.title + '|' + box.prompt;
    }

    QPushButton* button(const char* name) { return window->findChild<QPushButton*>(QString::fromLatin1(name)); }

    QString copied()
    {
        window->cmdCopyToClipboard_Click();
        return platform.clipboardText;
    }
};

} // namespace anchorly::test
