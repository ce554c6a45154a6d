#include "mainwindow/SourcesComboBox.h"

#include <QApplication>
#include <QEvent>
#include <QLayout>
#include <QListView>
#include <QProxyStyle>
#include <QScreen>
#include <QStyleOptionComboBox>

#include <algorithm>

namespace anchorly {

namespace {
// Names measured in one idle slice: a few milliseconds, so that a key or a
// click waits no longer than that while the list is measured.
constexpr int kSlice = 1000;
} // namespace

// The desktop's style, told for a moment that the list drops down below the
// box: the toolkit then opens it without measuring every row.
class SourcesComboBox::PopupStyle : public QProxyStyle {
public:
    bool dropsDown = false;

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_ComboBox_Popup && dropsDown)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

SourcesComboBox::SourcesComboBox(QWidget* parent) : QComboBox(parent), m_style(new PopupStyle)
{
    // Before the popup exists: it asks the style how to look when it is made.
    m_style->setParent(this);
    setStyle(m_style);
    view()->window()->installEventFilter(this);
    m_idle.setInterval(0);
    connect(&m_idle, &QTimer::timeout, this, &SourcesComboBox::measureSlice);
}

bool SourcesComboBox::opensQuickly()
{
    QStyleOptionComboBox option;
    initStyleOption(&option);
    const auto* list = qobject_cast<const QListView*>(view());
    return count() >= kQuickFrom && list && list->uniformItemSizes() && !list->isRowHidden(0) &&
           style()->styleHint(QStyle::SH_ComboBox_Popup, &option, this);
}

void SourcesComboBox::showPopup()
{
    if (!opensQuickly()) {
        QComboBox::showPopup();
        return;
    }
    QWidget* const container = view()->window();
    m_place = popupPlace(container);
    const bool animates = QApplication::isEffectEnabled(Qt::UI_AnimateCombo);
    QApplication::setEffectEnabled(Qt::UI_AnimateCombo, false);
    m_style->dropsDown = true;
    QComboBox::showPopup(); // placed at m_place as it is shown: see eventFilter
    m_style->dropsDown = false;
    QApplication::setEffectEnabled(Qt::UI_AnimateCombo, animates);
    m_place = QRect();
    // What the popup does last when it opens as a popup: the current row in
    // the middle, the scroll arrows as the scrolled list needs them.
    view()->scrollTo(view()->currentIndex(), QAbstractItemView::PositionAtCenter);
    QMetaObject::invokeMethod(container, "updateScrollers");
}

// The place the toolkit gives its popup: as wide as the widest name, as high
// as every row (within the screen), the current row over the box.
QRect SourcesComboBox::popupPlace(QWidget* container)
{
    QStyleOptionComboBox option;
    initStyleOption(&option);
    const QStyle* const style = this->style();
    QRect place = style->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxListBoxPopup, this);
    const QPoint above = mapToGlobal(place.topLeft());
    const QScreen* const onScreen = QGuiApplication::screenAt(above) ? QGuiApplication::screenAt(above) : screen();
    const QRect screenArea = onScreen->availableGeometry();
    const bool boundToScreen = !window()->testAttribute(Qt::WA_DontShowOnScreen);

    auto* const list = static_cast<QListView*>(view());
    const int rows = count();
    const int rowHeight = list->visualRect(model()->index(0, modelColumn(), rootModelIndex())).height();
    const int spacing = 2 * list->spacing();
    int height = rows * rowHeight + (rows - 1) * spacing + 2 * list->spacing();
    height += container->contentsMargins().top() + container->contentsMargins().bottom();
    height += list->contentsMargins().top() + list->contentsMargins().bottom();
    height += 2 * style->pixelMetric(QStyle::PM_MenuVMargin, &option, this);
    place.setHeight(height);

    const int widthHint =
        style->sizeFromContents(QStyle::CT_ComboBox, &option, QSize(widestNameWidth(), 0), this).width();
    place.setWidth(place.width() + std::max(0, widthHint - width()));
    container->layout()->activate();
    place.setSize(place.size().expandedTo(container->minimumSize()).boundedTo(container->maximumSize()));

    int left = above.x();
    if (boundToScreen) {
        place.setWidth(std::min(place.width(), screenArea.width()));
        if (mapToGlobal(place.bottomRight()).x() > screenArea.right())
            left = screenArea.x() + screenArea.width() - place.width();
        if (mapToGlobal(place.topLeft()).x() < screenArea.x())
            left = screenArea.x();
    }
    place.moveLeft(left);

    list->scrollToTop();
    const QRect current = list->visualRect(model()->index(currentIndex(), modelColumn(), rootModelIndex()));
    place.moveTop(above.y() - current.top());
    if (boundToScreen) {
        place.setHeight(std::min(place.height(), screenArea.height()));
        if (place.top() < screenArea.top())
            place.moveTop(screenArea.top());
        if (place.bottom() > screenArea.bottom())
            place.moveBottom(screenArea.bottom());
    }
    return place;
}

bool SourcesComboBox::eventFilter(QObject* watched, QEvent* event)
{
    // The show event comes before the window is mapped: the popup appears
    // in its place at once.
    if (event->type() == QEvent::Show && m_place.isValid() && watched == view()->window())
        view()->window()->setGeometry(m_place);
    return QComboBox::eventFilter(watched, event);
}

int SourcesComboBox::widestNameWidth()
{
    watchModel();
    measureRows(measured(), count() - 1);
    m_idle.stop();
    return m_widths.empty() ? 0 : *std::max_element(m_widths.cbegin(), m_widths.cend());
}

void SourcesComboBox::paintEvent(QPaintEvent* event)
{
    QComboBox::paintEvent(event);
    // Once the window is on the screen: the measuring must not delay its
    // first paint.
    if (!m_idle.isActive() && (m_watched != model() || measured() < count()))
        QTimer::singleShot(0, this, [this] {
            watchModel();
            if (measured() < count())
                m_idle.start();
        });
}

void SourcesComboBox::changeEvent(QEvent* event)
{
    QComboBox::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        remeasure();
}

void SourcesComboBox::watchModel()
{
    if (m_watched == model())
        return;
    for (const auto& connection : m_connections)
        disconnect(connection);
    m_watched = model();
    // Rows added, removed or changed within the measured ones are dealt
    // with at once; anything else starts the measuring again.
    m_connections[0] = connect(model(), &QAbstractItemModel::rowsInserted, this,
                               [this](const QModelIndex& parent, int first, int last) {
                                   if (parent != rootModelIndex() || first > measured())
                                       return;
                                   m_widths.insert(m_widths.begin() + first, std::size_t(last - first + 1), 0);
                                   measureRows(first, last);
                                   if (isVisible())
                                       m_idle.start(); // lays the rows out again
                               });
    m_connections[1] = connect(model(), &QAbstractItemModel::rowsRemoved, this,
                               [this](const QModelIndex& parent, int first, int last) {
                                   if (parent != rootModelIndex() || first >= measured())
                                       return;
                                   m_widths.erase(m_widths.begin() + first,
                                                  m_widths.begin() + std::min(last + 1, measured()));
                               });
    m_connections[2] = connect(model(), &QAbstractItemModel::dataChanged, this,
                               [this](const QModelIndex& topLeft, const QModelIndex& bottomRight) {
                                   if (topLeft.parent() == rootModelIndex())
                                       measureRows(topLeft.row(), std::min(bottomRight.row(), measured() - 1));
                               });
    const auto again = [this] { remeasure(); };
    m_connections[3] = connect(model(), &QAbstractItemModel::rowsMoved, this, again);
    m_connections[4] = connect(model(), &QAbstractItemModel::modelReset, this, again);
    m_connections[5] = connect(model(), &QAbstractItemModel::layoutChanged, this, again);
    remeasure();
}

void SourcesComboBox::remeasure()
{
    m_widths.clear();
    if (isVisible())
        m_idle.start();
}

// Measures rows up to the last, which lie within the measured rows or
// directly after them.
void SourcesComboBox::measureRows(int first, int last)
{
    if (last >= measured())
        m_widths.resize(std::size_t(last + 1));
    const QFontMetrics metrics = fontMetrics();
    for (int row = first; row <= last; ++row)
        m_widths[std::size_t(row)] = metrics.horizontalAdvance(itemText(row));
}

void SourcesComboBox::measureSlice()
{
    watchModel();
    measureRows(measured(), std::min(count(), measured() + kSlice) - 1);
    if (measured() < count())
        return;
    m_idle.stop();
    // The popup's list lays out its rows once, when they are first asked
    // for (7 ms for 32,767 names): here, rather than when the user clicks.
    if (count() >= kQuickFrom)
        view()->visualRect(model()->index(0, modelColumn(), rootModelIndex()));
}

} // namespace anchorly
