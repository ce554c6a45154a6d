#pragma once

// The preferences window: the locations of the browser, the editor and the
// user's HTML file, each picked in a file-open dialog and stored in the
// settings whenever the window closes.

#include "platform/Platform.h"

#include <QColor>
#include <QDialog>
#include <memory>

class QLineEdit;
class QPushButton;

namespace anchorly::settings {
class Settings;
}

namespace Ui {
class frmPrefs;
}

namespace anchorly {

// What a caller may rely on:
// - Constructing the window loads it: the three fields are filled from the
//   stored settings at once, whether or not the window is ever shown, so a
//   hidden window can be created just to read the locations.
// - Closing it ("Done!" or the close box; Esc does nothing) stores the three
//   fields and then deletes the window (WA_DeleteOnClose), so keep it in a
//   QPointer. The next window loads afresh with standard button colours.
// - Destroying a window that was never closed stores nothing.
class frmPrefs : public QDialog {
    Q_OBJECT

public:
    // The background of a locate button whose program could not be started.
    static constexpr QRgb kHighlightColour = qRgb(0, 255, 0); // 65280

    frmPrefs(Platform& platform, settings::Settings& settings, QWidget* owner);
    ~frmPrefs() override;

    // The three locations, as the fields show them.
    QString browserPath() const;
    QString editorPath() const;
    QString htmlPath() const;

    QPushButton* cmdLocateBrowser() const;
    QPushButton* cmdLocateEditor() const;

    // Shows the button in the highlight colour, or in the standard button colour.
    void setLocateHighlight(QPushButton* button, bool highlighted);

    // The background colour a button is shown with.
    static QColor buttonColour(const QPushButton* button);

public slots:
    // Closing by any way but Esc ends here: stores the fields once, then closes.
    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Form_Load();
    void Form_QueryUnload();
    void cmdOK_Click();
    void cmdLocateBrowser_Click();
    void cmdLocateEditor_Click();
    void cmdLocateHTMLfile_Click();
    void locate(QLineEdit* field, QPushButton* button, const QString& filter, const QString& title);

    std::unique_ptr<Ui::frmPrefs> ui;
    Platform& m_platform;
    settings::Settings& m_settings;
    FileOpenDialog CommonDialog1; // shared by the three locate buttons while the window lives
    bool m_unloaded = false;
};

} // namespace anchorly
