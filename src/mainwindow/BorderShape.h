#pragma once

#include <QWidget>

namespace anchorly {

// A rectangle outline, three pixels wide, in a colour given as a colour
// number. It takes no mouse input: whatever lies beneath it gets the clicks.
class BorderShape : public QWidget {
    Q_OBJECT

public:
    explicit BorderShape(QWidget* parent = nullptr);

    quint32 borderColor() const { return m_borderColor; }
    void setBorderColor(quint32 color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    quint32 m_borderColor = 65280;
};

} // namespace anchorly
