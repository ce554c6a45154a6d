#include "prefs/frmPrefs.h"

#include "platform/Colors.h"
#include "platform/RuntimeError.h"
#include "platform/ToolTip.h"
#include "resources/Resources.h"
#include "settings/Settings.h"
#include "ui_frmPrefs.h"

#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace anchorly {

namespace {

const QString kProgramFilter = QStringLiteral("Program files (*.exe)|*.exe");
const QString kAnyFileFilter = QStringLiteral("All Files (*.*)|*.*|");
constexpr int kHideReadOnly = 4;

// True when both paths lead to one existing file.
bool namesSameFile(const QString& first, const QString& second)
{
#ifdef Q_OS_UNIX
    struct stat a {};
    struct stat b {};
    if (::stat(QFile::encodeName(first).constData(), &a) != 0 || ::stat(QFile::encodeName(second).constData(), &b) != 0)
        return false;
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
#else
    const QFileInfo a(first);
    const QFileInfo b(second);
    return a.exists() && b.exists() && a.canonicalFilePath().compare(b.canonicalFilePath(), Qt::CaseInsensitive) == 0;
#endif
}

// Locations are kept in lower case. On a file system that tells letter case
// apart, the lower-cased path may name another file or none at all, and the
// browser or editor could then never be started; there the path is kept as
// the user chose it.
QString storedLocation(const QString& chosen)
{
    const QString lower = chosen.toLower();
    if (lower == chosen || namesSameFile(lower, chosen))
        return lower;
    return chosen;
}

// A read-only field: light grey with dark red text.
void paintField(QLineEdit* field)
{
    QPalette palette = field->palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Base, QColor(224, 224, 224));
        palette.setColor(group, QPalette::Text, QColor(128, 0, 0));
    }
    field->setPalette(palette);
}

// A one-pixel line of the rule under the heading.
void paintLine(QWidget* line, const QColor& colour)
{
    QPalette palette = line->palette();
    palette.setColor(QPalette::Window, colour);
    line->setPalette(palette);
}

} // namespace

frmPrefs::frmPrefs(Platform& platform, settings::Settings& settings, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                         Qt::CustomizeWindowHint),
      ui(std::make_unique<Ui::frmPrefs>()), m_platform(platform), m_settings(settings)
{
    setFont(resources::dialogFont());

    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(530, 150);
    setWindowIcon(resources::windowIcon());

    // The heading in the window's text colours; the rule in the text colour over light grey.
    QPalette heading = ui->lblPREFS->palette();
    heading.setColor(QPalette::Window, palette().color(QPalette::Base));
    heading.setColor(QPalette::WindowText, palette().color(QPalette::Text));
    ui->lblPREFS->setPalette(heading);
    // The stand-in font is wider than the classic one: the heading grows rather than lose its end.
    ui->lblPREFS->resize(ui->lblPREFS->size().expandedTo(ui->lblPREFS->sizeHint()));
    paintLine(ui->Line1, palette().color(QPalette::WindowText));
    paintLine(ui->Line2, QColor(0xC0, 0xC0, 0xC0));

    for (QLineEdit* field : {ui->txtBrowserPath, ui->txtEditorPath, ui->txtHTMLpath}) {
        paintField(field);
        field->installEventFilter(this);
    }

    connect(ui->cmdOK, &QPushButton::clicked, this, &frmPrefs::cmdOK_Click);
    connect(ui->cmdLocateBrowser, &QPushButton::clicked, this, &frmPrefs::cmdLocateBrowser_Click);
    connect(ui->cmdLocateEditor, &QPushButton::clicked, this, &frmPrefs::cmdLocateEditor_Click);
    connect(ui->cmdLocateHTMLfile, &QPushButton::clicked, this, &frmPrefs::cmdLocateHTMLfile_Click);

    Form_Load();
}

frmPrefs::~frmPrefs() = default;

QString frmPrefs::browserPath() const
{
    return ui->txtBrowserPath->text();
}
QString frmPrefs::editorPath() const
{
    return ui->txtEditorPath->text();
}
QString frmPrefs::htmlPath() const
{
    return ui->txtHTMLpath->text();
}
QPushButton* frmPrefs::cmdLocateBrowser() const
{
    return ui->cmdLocateBrowser;
}
QPushButton* frmPrefs::cmdLocateEditor() const
{
    return ui->cmdLocateEditor;
}

void frmPrefs::setLocateHighlight(QPushButton* button, bool highlighted)
{
    if (!highlighted) {
        // An empty palette inherits the window's again: the standard button colour.
        button->setPalette(QPalette());
        return;
    }
    QPalette palette = button->palette();
    const QColor caption =
        readableTextOn(QColor(kHighlightColour), palette.color(QPalette::Active, QPalette::ButtonText));
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Button, QColor(kHighlightColour));
        palette.setColor(group, QPalette::ButtonText, caption);
    }
    button->setPalette(palette);
}

QColor frmPrefs::buttonColour(const QPushButton* button)
{
    return button->palette().color(QPalette::Active, QPalette::Button);
}

// Loading: a location that cannot be read, or the registry's "Error" for a
// missing one, shows as an empty field. Nothing is reported.
void frmPrefs::Form_Load()
{
    const std::pair<QLineEdit*, const char*> fields[] = {{ui->txtBrowserPath, settings::name::Browser},
                                                         {ui->txtEditorPath, settings::name::Editor},
                                                         {ui->txtHTMLpath, settings::name::HTMLfile}};
    for (const auto& [field, valueName] : fields) {
        try {
            field->setText(m_settings.readPath(valueName)); // "Error" reads as no path
        } catch (...) {
        }
    }
}

// Storing: the fields as they are, an empty one as the empty text; a value
// that cannot be written is skipped.
void frmPrefs::Form_QueryUnload()
{
    const std::pair<const char*, QString> values[] = {{settings::name::Browser, browserPath()},
                                                      {settings::name::Editor, editorPath()},
                                                      {settings::name::HTMLfile, htmlPath()}};
    for (const auto& [valueName, path] : values) {
        try {
            m_settings.writePath(valueName, path);
        } catch (...) {
        }
    }
}

void frmPrefs::done(int result)
{
    if (!m_unloaded) {
        m_unloaded = true;
        Form_QueryUnload();
    }
    QDialog::done(result);
}

void frmPrefs::keyPressEvent(QKeyEvent* event)
{
    // The window has no cancel button: Esc neither closes it nor reaches the main window.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool frmPrefs::eventFilter(QObject* watched, QEvent* event)
{
    // A long path is cut off in its field: the tooltip shows it whole, and an empty field shows none.
    if (event->type() == QEvent::MouseMove) {
        if (auto* field = qobject_cast<QLineEdit*>(watched))
            setTextToolTip(field, field->text());
    }
    return QDialog::eventFilter(watched, event);
}

void frmPrefs::cmdOK_Click()
{
    accept();
}

void frmPrefs::cmdLocateBrowser_Click()
{
    locate(ui->txtBrowserPath, ui->cmdLocateBrowser, kProgramFilter, QStringLiteral("Locate your Browser"));
}

void frmPrefs::cmdLocateEditor_Click()
{
    locate(ui->txtEditorPath, ui->cmdLocateEditor, kProgramFilter, QStringLiteral("Locate your Editor"));
}

void frmPrefs::cmdLocateHTMLfile_Click()
{
    locate(ui->txtHTMLpath, ui->cmdLocateHTMLfile, kAnyFileFilter, QStringLiteral("Locate your HTML file"));
}

void frmPrefs::locate(QLineEdit* field, QPushButton* button, const QString& filter, const QString& title)
{
    CommonDialog1.filter = filter;
    CommonDialog1.flags = kHideReadOnly;
    CommonDialog1.initDir = m_platform.appPath(); // the executable's folder every time
    CommonDialog1.title = title;
    try {
        m_platform.showOpen(CommonDialog1);
    } catch (...) {
        // The dialog could not be shown: nothing was chosen, the field stays as it was.
        reportUnexpectedError(m_platform, RuntimeError::fromCurrentException());
        return;
    }
    if (CommonDialog1.fileName.isEmpty())
        return; // cancelled
    field->setText(storedLocation(CommonDialog1.fileName));
    CommonDialog1.fileName.clear();
    setLocateHighlight(button, false);
}

} // namespace anchorly
