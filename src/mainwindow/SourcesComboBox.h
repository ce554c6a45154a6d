#pragma once

#include <QComboBox>
#include <QPointer>
#include <QTimer>

#include <vector>

class QAbstractItemModel;

namespace anchorly {

// The sources list: a drop-down list that opens as fast with tens of
// thousands of names as with a few dozen.
//
// When it opens as a menu-like popup (the style's choice), the toolkit's list
// measures the width of every name and the place of every row, each time it
// opens: a quarter of a second for 32,767 names. This list keeps the widest
// name's width at hand instead (measured a slice at a time while the program
// is idle, and kept up to date as names are added) and gives the toolkit's
// own popup the place the toolkit would have given it. A short list, or a
// style whose list drops down below the box, opens the toolkit's way.
class SourcesComboBox : public QComboBox {
    Q_OBJECT

public:
    explicit SourcesComboBox(QWidget* parent = nullptr);

    void showPopup() override;

    // The widest name's width in the list's font; measures now what the idle
    // slices have not measured yet.
    int widestNameWidth();

    // From this many names on, the list opens its own quick way.
    static constexpr int kQuickFrom = 500;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class PopupStyle;

    bool opensQuickly();
    QRect popupPlace(QWidget* container);
    void watchModel();
    void remeasure();
    void measureRows(int first, int last);
    void measureSlice();
    int measured() const { return int(m_widths.size()); }

    PopupStyle* m_style;
    QPointer<QAbstractItemModel> m_watched;
    QMetaObject::Connection m_connections[6];
    QTimer m_idle;
    std::vector<int> m_widths; // of the names measured so far, from the top
    QRect m_place; // where the opening popup goes, while it opens
};

} // namespace anchorly
