#include "mainwindow/frmMain.h"

#include "about/frmabout.h"
#include "composer/Composer.h"
#include "mainwindow/BorderShape.h"
#include "mainwindow/ControlColors.h"
#include "platform/Colors.h"
#include "prefs/frmPrefs.h"
#include "resources/Resources.h"
#include "ui_frmMain.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

namespace anchorly {

frmMain::frmMain(Platform& platform, settings::Settings& settings, QWidget* parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::frmMain>()), m_platform(platform), m_settings(settings)
{
    installAccessibleFactory();
    ui->setupUi(this);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowIcon(resources::windowIcon());
    bindControls();
    styleControls();
    connectCommands();
    watchEvents();
    setAcceptDrops(true); // a link dragged from a browser (frmMain_drop.cpp)
    watchTemplateRow();
    // The window cannot be resized: its size follows the fixed client area and the menu bar.
    setFixedSize(ui->centralwidget->width(), ui->centralwidget->height() + menuBar()->sizeHint().height());
    cmdADD->setFocus();
}

frmMain::~frmMain() = default;

void frmMain::bindControls()
{
    Shape1 = ui->Shape1;
    Image1 = ui->Image1;
    lblHREF = ui->lblHREF;
    lblURL = ui->lblURL;
    lblTARGET = ui->lblTARGET;
    lblDESCRIPTION = ui->lblDESCRIPTION;
    lblSOURCE = ui->lblSOURCE;
    lbSOURCEDESCRIPTION = ui->lbSOURCEDESCRIPTION;
    lblENDTAG = ui->lblENDTAG;
    Combo1 = ui->Combo1;
    cmdADD = ui->cmdADD;
    txtHREF = ui->txtHREF;
    txtDESCRIPTION = ui->txtDESCRIPTION;
    txtSOURCE = ui->txtSOURCE;
    optSource = {ui->optSource_0, ui->optSource_1};
    keepOptionButtonsVisible();
    Combo2 = ui->Combo2;
    txtENTRY = {ui->txtENTRY_0, ui->txtENTRY_1, ui->txtENTRY_2, ui->txtENTRY_3, ui->txtENTRY_4};
    lblInfo = ui->lblInfo;
    txtHTMLsource = ui->txtHTMLsource;
    cmdExit = ui->cmdExit;
    cmdCopyToClipboard = ui->cmdCopyToClipboard;
}

void frmMain::styleControls()
{
    // The template row: dark blue captions that size themselves to their text,
    // on a face that keeps them readable (the window's own under a light
    // palette). The frame is drawn over that face.
    for (QLabel* label : {lblHREF, lblURL, lblTARGET, lblDESCRIPTION, lblSOURCE, lbSOURCEDESCRIPTION, lblENDTAG}) {
        setForeColor(label, kDarkBlue);
        label->adjustSize();
    }
    QPalette row = Image1->palette();
    row.setColor(QPalette::Window, readableBehind(toQColor(kDarkBlue), row.color(QPalette::Active, QPalette::Window)));
    Image1->setPalette(row);
    Image1->setAutoFillBackground(true);
    Shape1->raise();

    ui->lblLinkentries->adjustSize();
    setForeColor(lblInfo, kDarkGrey); // its face is filled while it shows a message
    // The stand-in font is wider than the classic one: the info line grows
    // toward "Clear all entries" rather than lose the end of its longest
    // message, and the target list shows its longest target whole.
    lblInfo->resize(std::max(lblInfo->width(), lblInfo->fontMetrics().horizontalAdvance(composer::allFilledMessage()) +
                                                   2 * lblInfo->margin() + 2),
                    lblInfo->height());
    Combo1->resize(Combo1->size().expandedTo(Combo1->sizeHint()));

    for (QWidget* input : std::initializer_list<QWidget*>{txtHREF, txtDESCRIPTION, txtSOURCE, Combo2, txtHTMLsource})
        setBackColor(input, kLightGrey);
    for (QLineEdit* slot : txtENTRY) {
        setBackColor(slot, kButtonFaceColor);
        setForeColor(slot, kDarkBlue);
    }
    Combo1->setVisible(false);
    Combo1->setCurrentIndex(-1);
    Combo2->setCurrentIndex(-1);
}

void frmMain::connectCommands()
{
    connect(cmdADD, &QPushButton::clicked, this, &frmMain::cmdADD_Click);
    connect(Combo1, &QComboBox::activated, this, &frmMain::Combo1_Click);
    connect(ui->cmdClear, &QPushButton::clicked, this, &frmMain::cmdClear_Click);
    connect(ui->cmdClearEntry1, &QPushButton::clicked, this, &frmMain::cmdClearEntry1_Click);
    connect(ui->cmdClearEntry2, &QPushButton::clicked, this, &frmMain::cmdClearEntry2_Click);
    connect(ui->cmdClearEntry3, &QPushButton::clicked, this, &frmMain::cmdClearEntry3_Click);
    connect(ui->cmdClearEntry4, &QPushButton::clicked, this, &frmMain::cmdClearEntry4_Click);
    connect(ui->cmdClearEntry5, &QPushButton::clicked, this, &frmMain::cmdClearEntry5_Click);
    connect(ui->cmdEmptyURL, &QPushButton::clicked, this, &frmMain::cmdEmptyURL_Click);
    connect(ui->cmdEmptyDESCRIPTION, &QPushButton::clicked, this, &frmMain::cmdEmptyDESCRIPTION_Click);
    connect(ui->cmdEmptySOURCE, &QPushButton::clicked, this, &frmMain::cmdEmptySOURCE_Click);
    connect(ui->cmdEmptyALL, &QPushButton::clicked, this, &frmMain::cmdEmptyALL_Click);
    connect(cmdCopyToClipboard, &QPushButton::clicked, this, &frmMain::cmdCopyToClipboard_Click);

    connect(Combo2, &QComboBox::activated, this, &frmMain::Combo2_Click);
    // A click selects its option button and deselects the other; a click on
    // the selected one keeps it selected.
    connect(optSource[0], &QRadioButton::clicked, this, [this] { setOption(0, true); });
    connect(optSource[1], &QRadioButton::clicked, this, [this] { setOption(1, true); });
    connect(ui->cmdAddToList, &QPushButton::clicked, this, &frmMain::cmdAddToList_Click);
    connect(ui->cmdRefreshCombo2, &QPushButton::clicked, this, &frmMain::cmdRefreshCombo2_Click);
    connect(ui->cmdEditList, &QPushButton::clicked, this, &frmMain::cmdEditList_Click);

    connect(ui->cmdBrowser, &QPushButton::clicked, this, &frmMain::cmdBrowser_Click);
    connect(ui->cmdEditor, &QPushButton::clicked, this, &frmMain::cmdEditor_Click);
    connect(ui->cmdOpenALL, &QPushButton::clicked, this, &frmMain::cmdOpenALL_Click);

    connect(cmdExit, &QPushButton::clicked, this, &frmMain::cmdExit_Click);
    connect(ui->cmdAbout, &QPushButton::clicked, this, &frmMain::cmdAbout_Click);
    connect(ui->cmdPrefs, &QPushButton::clicked, this, &frmMain::cmdPrefs_Click);

    connect(ui->menuAbout, &QAction::triggered, this, &frmMain::menuAbout_Click);
    connect(ui->menuExit, &QAction::triggered, this, &frmMain::menuExit_Click);
    connect(ui->menuPrefs, &QAction::triggered, this, &frmMain::menuPrefs_Click);
    connect(ui->menuEditSourcesList, &QAction::triggered, this, &frmMain::menuEditSourcesList_Click);
    connect(ui->menuRefreshList, &QAction::triggered, this, &frmMain::menuRefreshList_Click);
    connect(ui->menuChangeBorderColor, &QAction::triggered, this, &frmMain::menuChangeBorderColor_Click);
    connect(ui->menuDefaultcolor, &QAction::triggered, this, &frmMain::menuDefaultcolor_Click);
}

void frmMain::watchEvents()
{
    // Which handler runs for which event of which control. A click is a
    // left-button release over the control that was pressed.
    m_routes = {
        {lblURL, QEvent::MouseMove, &frmMain::lblURL_MouseMove},
        {lblDESCRIPTION, QEvent::MouseMove, &frmMain::lblDESCRIPTION_MouseMove},
        {lbSOURCEDESCRIPTION, QEvent::MouseMove, &frmMain::lbSOURCEDESCRIPTION_MouseMove},
        {lblTARGET, QEvent::MouseMove, &frmMain::lblTARGET_MouseMove},
        {ui->centralwidget, QEvent::MouseMove, &frmMain::Form_MouseMove},
        {Image1, QEvent::MouseMove, &frmMain::Image1_MouseMove},
        {txtHREF, QEvent::MouseMove, &frmMain::txtHREF_MouseMove},
        {txtDESCRIPTION, QEvent::MouseMove, &frmMain::txtDESCRIPTION_MouseMove},
        {txtSOURCE, QEvent::MouseMove, &frmMain::txtSOURCE_MouseMove},
        {lblTARGET, QEvent::MouseButtonRelease, &frmMain::lblTARGET_Click},
        {Image1, QEvent::MouseButtonRelease, &frmMain::Image1_Click},
        {ui->centralwidget, QEvent::MouseButtonRelease, &frmMain::Form_Click},
        {txtHREF, QEvent::FocusIn, &frmMain::txtHREF_GotFocus},
        {txtDESCRIPTION, QEvent::FocusIn, &frmMain::txtDESCRIPTION_GotFocus},
        {txtSOURCE, QEvent::FocusIn, &frmMain::txtSOURCE_GotFocus},
        {txtSOURCE, QEvent::KeyPress, &frmMain::txtSOURCE_KeyDown},
    };
    for (QLineEdit* slot : txtENTRY)
        m_routes.push_back({slot, QEvent::MouseMove, &frmMain::txtENTRY_MouseMove});

    for (const EventRoute& route : m_routes) {
        route.control->installEventFilter(this);
        // Mouse moves run their handlers on every move, not only on entry.
        if (route.event == QEvent::MouseMove)
            static_cast<QWidget*>(route.control)->setMouseTracking(true);
    }

    // A control's mouse events stay with it: the window's background handlers
    // run only for the background itself.
    for (QObject* child : ui->centralwidget->children()) {
        if (auto* widget = qobject_cast<QWidget*>(child))
            widget->setAttribute(Qt::WA_NoMousePropagation);
    }

    // Enter, Esc and the menu shortcuts act wherever the focus is in this window.
    watchKeys();
}

bool frmMain::eventFilter(QObject* watched, QEvent* event)
{
    const auto slot = std::find(txtENTRY.begin(), txtENTRY.end(), watched);
    if (slot != txtENTRY.end() && filterSlotKey(int(slot - txtENTRY.begin()), event))
        return true;
    // The keys the window consumes itself are not typing: tabbing through the
    // source box on the way to the list keeps the list source.
    if (event->type() == QEvent::KeyPress && isWindowKey(static_cast<QKeyEvent*>(event)))
        return false;

    if (event->type() == QEvent::MouseButtonPress && watched == Image1) {
        const Qt::MouseButton button = static_cast<QMouseEvent*>(event)->button();
        Image1_MouseDown(button == Qt::RightButton ? 2 : button == Qt::MiddleButton ? 4 : 1);
    }
    if (event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton ||
            !static_cast<QWidget*>(watched)->rect().contains(mouse->position().toPoint()))
            return false;
    }
    for (const EventRoute& route : m_routes) {
        if (route.control == watched && route.event == event->type())
            (this->*route.handler)();
    }
    return false;
}

void frmMain::closeEvent(QCloseEvent* event)
{
    if (!m_unloading) {
        m_unloading = true;
        Form_QueryUnload();
        Form_Unload();
    }
    event->accept();
}

void frmMain::cmdExit_Click()
{
    close();
}

void frmMain::menuExit_Click()
{
    cmdExit_Click();
}

void frmMain::showAbout()
{
    auto* about = new frmabout(m_platform, this);
    about->exec();
}

void frmMain::cmdAbout_Click()
{
    showAbout();
    txtHREF->setFocus();
}

void frmMain::menuAbout_Click()
{
    showAbout();
}

frmPrefs& frmMain::preferences()
{
    if (!m_prefs)
        m_prefs = new frmPrefs(m_platform, m_settings, this);
    return *m_prefs;
}

void frmMain::showPreferences()
{
    preferences().exec();
}

void frmMain::cmdPrefs_Click()
{
    showPreferences();
    txtHREF->setFocus();
}

void frmMain::menuPrefs_Click()
{
    showPreferences();
}

void frmMain::Form_Click()
{
    if (Combo1->isVisible())
        Combo1->setVisible(false);
}

void frmMain::Image1_Click()
{
    Form_Click();
}

void frmMain::Image1_MouseDown(int button)
{
    if (button == 2)
        ui->menuColorMenu->popup(QCursor::pos());
}

void frmMain::setOption(int index, bool value)
{
    optSource[index]->setChecked(value);
    if (value)
        optSource[1 - index]->setChecked(false);
}

void frmMain::setComboListIndex(QComboBox* combo, int index)
{
    if (index < -1 || index >= combo->count())
        return;
    combo->setCurrentIndex(index);
    if (combo == Combo1)
        Combo1_Click();
    else if (combo == Combo2)
        Combo2_Click();
}

// Under a dark palette the toolkit draws an unchecked option button's ring and face in two near shades of the
// window's own grey (about 1.2:1); a light face with a dark dot keeps both buttons visible. Light palettes, whose
// face is light already, stay as they are. Run again when the desktop's palette arrives or changes.
void frmMain::keepOptionButtonsVisible()
{
    for (QRadioButton* option : optSource) {
        QPalette palette = QApplication::palette(option);
        const QColor window = palette.color(QPalette::Active, QPalette::Window);
        if (window.lightness() < 128 && contrastRatio(palette.color(QPalette::Active, QPalette::Base), window) < 3) {
            palette.setColor(QPalette::Base, toQColor(kLightGrey));
            palette.setColor(QPalette::Text, readableTextOn(toQColor(kLightGrey), palette.color(QPalette::Text)));
        }
        option->setPalette(palette);
    }
}

void frmMain::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ApplicationPaletteChange)
        keepOptionButtonsVisible();
    QMainWindow::changeEvent(event);
}

} // namespace anchorly
