#pragma once

// The about window: the tool's title, version and copyright, a short notice
// and a link to the maker's homepage.

#include <QDialog>
#include <QPointer>
#include <memory>

namespace Ui {
class frmabout;
}

namespace anchorly {

class Platform;

// What a caller may rely on: the window is filled when it is constructed
// (the year read anew each time) and deletes itself when it closes (OK,
// Enter, the close box or the link), so create one per opening and exec() it.
// Esc does nothing. A click on the link also minimizes mainWindow.
class frmabout : public QDialog {
    Q_OBJECT

public:
    // The copyright notice up to the current year, and the maker's homepage.
    static const QString kCopyrightPrefix;
    static const QString kHomepage;

    frmabout(Platform& platform, QWidget* mainWindow);
    ~frmabout() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Form_Load();
    void cmdok_Click();
    void lblurl_Click();
    void lblurl_MouseMove();

    std::unique_ptr<Ui::frmabout> ui;
    Platform& m_platform;
    QPointer<QWidget> m_mainWindow;
};

} // namespace anchorly
