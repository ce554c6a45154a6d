#include "about/frmabout.h"

#include "platform/AppInfo.h"
#include "platform/Colors.h"
#include "platform/Platform.h"
#include "resources/Resources.h"
#include "ui_frmabout.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace anchorly {

const QString frmabout::kCopyrightPrefix = QStringLiteral("Copyright \u00A9 2002 - ");
const QString frmabout::kHomepage = QStringLiteral("http://www.quillbay.example/");

namespace {

// A label of fixed size grows where the stand-in font needs more room, so
// that no text is cut off.
void makeRoomForText(QLabel* label)
{
    label->resize(label->size().expandedTo(label->sizeHint()));
}

// An etched separator line in one colour.
void paintLine(QWidget* line, const QColor& colour)
{
    QPalette palette = line->palette();
    palette.setColor(QPalette::Window, colour);
    line->setPalette(palette);
}

} // namespace

frmabout::frmabout(Platform& platform, QWidget* mainWindow)
    : QDialog(mainWindow, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                              Qt::MSWindowsFixedSizeDialogHint),
      ui(std::make_unique<Ui::frmabout>()), m_platform(platform), m_mainWindow(mainWindow)
{
    setFont(resources::dialogFont(8));
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(220, 293);

    ui->lblprogtitle->setFont(resources::dialogFont(13.5));
    ui->lblversion->setFont(resources::dialogFont(9.75, true));
    // The link's dark blue on a face it reads on: the window's under a light palette.
    QPalette link = ui->lblurl->palette();
    link.setColor(QPalette::WindowText, QColor(0, 0, 192));
    link.setColor(QPalette::Window, readableBehind(QColor(0, 0, 192), link.color(QPalette::Active, QPalette::Window)));
    ui->lblurl->setPalette(link);
    ui->lblurl->setAutoFillBackground(true);
    ui->lblurl->setMouseTracking(true);
    ui->lblurl->installEventFilter(this);
    ui->imghand->setPixmap(resources::handPicture());

    for (QWidget* line : {ui->Line1, ui->Line4})
        paintLine(line, QColor(64, 0, 64));
    for (QWidget* line : {ui->Line2, ui->Line3})
        paintLine(line, palette().color(QPalette::Light));

    connect(ui->cmdok, &QPushButton::clicked, this, &frmabout::cmdok_Click);

    Form_Load();
    for (QLabel* label : {ui->lblprogtitle, ui->lblversion, ui->lblcopyright2})
        makeRoomForText(label);
    for (QLabel* label : {ui->lblcopyright, ui->lbltext3, ui->lbltext4, ui->lbltext5, ui->lblurl})
        label->adjustSize(); // these size themselves to their text
    ui->cmdok->setFocus();
}

frmabout::~frmabout() = default;

void frmabout::Form_Load()
{
    ui->lblprogtitle->setText(QString::fromLatin1(app::kTitle));
    ui->lblversion->setText(QStringLiteral("Version %1.%2.%3").arg(app::kMajor).arg(app::kMinor).arg(app::kRevision));
    ui->lblcopyright->setText(kCopyrightPrefix + QString::number(m_platform.currentYear()));
    ui->lblurl->setText(kHomepage);
}

void frmabout::cmdok_Click()
{
    accept();
}

void frmabout::lblurl_Click()
{
    if (m_mainWindow)
        m_mainWindow->showMinimized();
    m_platform.shellExecute(this, kHomepage, QStringLiteral("c:\\"), kNormalFocus);
    accept();
}

void frmabout::lblurl_MouseMove()
{
    // The hand's fingertip is the pointer's hot spot.
    ui->lblurl->setCursor(QCursor(ui->imghand->pixmap(), 12, 2));
}

bool frmabout::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui->lblurl) {
        if (event->type() == QEvent::MouseMove) {
            lblurl_MouseMove();
        } else if (event->type() == QEvent::MouseButtonPress) {
            // Taken by the link, so that the release comes back to it.
            return static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
        } else if (event->type() == QEvent::MouseButtonRelease) {
            // A click is a left press and release over the link.
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton && ui->lblurl->rect().contains(mouse->position().toPoint())) {
                lblurl_Click();
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmabout::keyPressEvent(QKeyEvent* event)
{
    // No cancel button: Esc leaves the window open.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace anchorly
