#pragma once

#include "platform/Platform.h"
#include "platform/RuntimeError.h"

#include <QApplication>
#include <QMap>
#include <QWidget>
#include <optional>
#include <vector>

namespace anchorly::test {

// A platform that records every call and answers from a script. It never
// shows anything and never blocks; a file or colour dialog without an answer
// is cancelled.
class FakePlatform : public Platform {
public:
    struct MsgBoxCall { QString prompt; int style; QString title; };

    std::vector<MsgBoxCall> msgBoxes;
    QStringList shells;        // each command line started
    QStringList shellExecutes; // "parent's object name|address|working folder|show command"
    QString clipboardText;
    int clipboardClears = 0;
    int endCalls = 0;
    std::vector<FileOpenDialog> openDialogs; // each file dialog as it was shown

    QString appFolder = QStringLiteral("/opt/anchorly");
    QString dataFolder = QStringLiteral("/tmp/anchorly-fake-data");
    QStringList readOnlyFolders;
    int year = 2026;
    QMap<QString, int> shellStatuses; // how waited-for programs end; -1 (still running) when absent
    std::optional<QString> openAnswer;
    std::optional<quint32> colorAnswer; // none: the colour dialog is cancelled
    bool previousInstance = false;
    std::optional<RuntimeError> instanceError;

    void msgBox(const QString& text, int style, const QString& title, const QString&, int) override
    {
        msgBoxes.push_back({text, style, title});
    }
    void shell(const QString& line, int) override { shells << line; }
    int shellAndWait(const QString& line, int style, int) override
    {
        shell(line, style);
        return shellStatuses.value(line, -1);
    }
    void shellExecute(QWidget* parent, const QString& url, const QString& dir, int show) override
    {
        shellExecutes << QStringLiteral("%1|%2|%3|%4").arg(parent ? parent->objectName() : "-", url, dir).arg(show);
    }
    void clipboardClear() override { clipboardText.clear(), ++clipboardClears; }
    void clipboardSetText(const QString& text) override { clipboardText = text; }
    QString appPath() const override { return appFolder; }
    QString userConfigFolder() const override { return appFolder; }
    QString userDataFolder() const override { return dataFolder; }
    bool canWriteFolder(const QString& folder) const override { return !readOnlyFolders.contains(folder); }
    bool prevInstance() override { return instanceError ? throw *instanceError : previousInstance; }
    std::function<void()> calledByNextInstance;
    int prevInstanceCalls = 0;
    void onCalledByNextInstance(std::function<void()> called) override { calledByNextInstance = std::move(called); }
    void callPrevInstance() override { ++prevInstanceCalls; }
    int screenWidthTwips() const override { return 1024 * 15; }
    int screenHeightTwips() const override { return 768 * 15; }
    int twipsPerPixel() const override { return 15; }
    bool isOnSomeScreen(int x, int y, int w, int h) const override
    {
        return QRect(0, 0, 1024, 768).intersects({x, y, w, h});
    }
    QWidget* activeControl() const override { return QApplication::focusWidget(); }
    int currentYear() const override { return year; }
    void end() override { ++endCalls; }
    void showOpen(FileOpenDialog& dialog) override
    {
        openDialogs.push_back(dialog);
        dialog.fileName = openAnswer.value_or(dialog.fileName);
    }
    void showColor(ColorDialog& dialog) override
    {
        if (colorAnswer)
            dialog.color = *colorAnswer;
        else if (dialog.cancelError)
            throw RuntimeError(errnum::CancelSelected, QStringLiteral("Cancel was selected."));
    }
};

} // namespace anchorly::test
