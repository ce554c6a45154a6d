#pragma once

#include "platform/Platform.h"
#include "platform/RuntimeError.h"

#include <QApplication>
#include <QMap>
#include <QStringList>
#include <QWidget>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

namespace anchorly::test {

// A platform that records every call and answers from a script. It never
// shows anything and never blocks.
class FakePlatform : public Platform {
public:
    struct MsgBoxCall {
        QString prompt;
        int style;
        QString title;
        QString helpFile;
        int helpContext;
    };
    struct ShellCall {
        QString commandLine;
        int windowStyle;
    };
    struct ShellExecuteCall {
        QWidget* parent;
        QString address;
        QString workingDirectory;
        int showCommand;
    };

    // --- what was called ---
    std::vector<MsgBoxCall> msgBoxes;
    std::vector<ShellCall> shells;
    std::vector<ShellExecuteCall> shellExecutes;
    QStringList clipboardLog; // "clear" and "set:<text>", in call order
    QString clipboardText;
    std::vector<FileOpenDialog> openDialogs; // the dialog state as each showOpen saw it
    std::vector<ColorDialog> colorDialogs;   // the dialog state as each showColor saw it
    int endCalls = 0;

    // --- scripted answers ---
    QString appFolder = QStringLiteral("/opt/anchorly");
    QString configFolder = QStringLiteral("/tmp/anchorly-fake-config");
    QString dataFolder = QStringLiteral("/tmp/anchorly-fake-data");
    QStringList readOnlyFolders;
    bool previousInstance = false;
    std::optional<RuntimeError> prevInstanceError;
    int screenWidth = 1024 * 15;
    int screenHeight = 768 * 15;
    int twips = 15;
    int year = 2026;
    // Command lines that fail, with the error they raise.
    QMap<QString, RuntimeError> shellErrors;
    // Answers for showOpen, in order: a path to pick, or an empty optional to cancel.
    std::deque<std::optional<QString>> openAnswers;
    std::optional<RuntimeError> openError;
    // Answers for showColor, in order: a colour to pick, or an empty optional to cancel.
    std::deque<std::optional<quint32>> colorAnswers;
    // Runs while a message box is "shown", for tests that act during it.
    std::function<void(const MsgBoxCall&)> onMsgBox;

    void msgBox(const QString& prompt, int style, const QString& title, const QString& helpFile,
                int helpContext) override
    {
        msgBoxes.push_back({prompt, style, title, helpFile, helpContext});
        if (onMsgBox)
            onMsgBox(msgBoxes.back());
    }

    void shell(const QString& commandLine, int windowStyle) override
    {
        shells.push_back({commandLine, windowStyle});
        const auto it = shellErrors.find(commandLine);
        if (it != shellErrors.end())
            throw it.value();
    }

    void shellExecute(QWidget* parent, const QString& address, const QString& workingDirectory,
                      int showCommand) override
    {
        shellExecutes.push_back({parent, address, workingDirectory, showCommand});
    }

    void clipboardClear() override
    {
        clipboardLog << QStringLiteral("clear");
        clipboardText.clear();
    }

    void clipboardSetText(const QString& text) override
    {
        clipboardLog << QStringLiteral("set:") + text;
        clipboardText = text;
    }

    QString appPath() const override { return appFolder; }
    QString userConfigFolder() const override { return configFolder; }
    QString userDataFolder() const override { return dataFolder; }
    bool canWriteFolder(const QString& folder) const override { return !readOnlyFolders.contains(folder); }

    bool prevInstance() override
    {
        if (prevInstanceError)
            throw *prevInstanceError;
        return previousInstance;
    }

    int screenWidthTwips() const override { return screenWidth; }
    int screenHeightTwips() const override { return screenHeight; }
    int twipsPerPixel() const override { return twips; }

    bool isOnSomeScreen(int left, int top, int width, int height) const override
    {
        const int w = screenWidth / twips;
        const int h = screenHeight / twips;
        return left + width > 0 && top + height > 0 && left < w && top < h;
    }

    QWidget* activeControl() const override { return QApplication::focusWidget(); }
    int currentYear() const override { return year; }
    void end() override { ++endCalls; }

    void showOpen(FileOpenDialog& dialog) override
    {
        openDialogs.push_back(dialog);
        if (openError)
            throw *openError;
        if (openAnswers.empty())
            return;
        const std::optional<QString> answer = openAnswers.front();
        openAnswers.pop_front();
        if (answer)
            dialog.fileName = *answer;
    }

    void showColor(ColorDialog& dialog) override
    {
        colorDialogs.push_back(dialog);
        std::optional<quint32> answer;
        if (!colorAnswers.empty()) {
            answer = colorAnswers.front();
            colorAnswers.pop_front();
        }
        if (answer) {
            dialog.color = *answer;
            return;
        }
        if (dialog.cancelError)
            throw RuntimeError(errnum::CancelSelected, QStringLiteral("Cancel was selected."));
    }
};

} // namespace anchorly::test
