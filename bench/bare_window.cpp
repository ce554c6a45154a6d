// The start-up baseline: a bare Qt program that shows a window of the main
// window's size and font with the same controls at the same places (10
// labels, 8 one-line text boxes, 2 lists, 1 multi-line box, 21 buttons, 2
// option buttons, 2 plain areas, and a menu bar of 4 menus with 14 items), but
// no settings, no sources list and none of the program's work. Painting takes
// time in proportion to a control's area, so the places matter.

#include <QApplication>
#include <QComboBox>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRect>

namespace {

// The main window's controls by kind, each with its place in pixels.
enum class Kind { Label, LineEdit, Combo, Button, Option, Area, Text };
struct Control {
    Kind kind;
    QRect place;
};
const Control kControls[] = {
    {Kind::Area, {9, 3, 512, 39}},       {Kind::Area, {9, 3, 513, 39}},       {Kind::Label, {15, 16, 44, 13}},
    {Kind::Label, {80, 16, 47, 13}},     {Kind::Label, {165, 16, 89, 13}},    {Kind::Label, {276, 16, 98, 13}},
    {Kind::Label, {382, 16, 9, 13}},     {Kind::Label, {396, 16, 71, 13}},    {Kind::Label, {472, 16, 44, 13}},
    {Kind::Label, {8, 138, 54, 13}},     {Kind::Label, {8, 246, 327, 15}},    {Kind::Label, {8, 263, 106, 15}},
    {Kind::Combo, {213, 13, 57, 21}},    {Kind::Combo, {297, 94, 225, 21}},   {Kind::LineEdit, {8, 50, 514, 19}},
    {Kind::LineEdit, {8, 72, 514, 19}},  {Kind::LineEdit, {8, 95, 242, 19}},  {Kind::LineEdit, {8, 155, 514, 16}},
    {Kind::LineEdit, {8, 173, 514, 16}}, {Kind::LineEdit, {8, 191, 514, 16}}, {Kind::LineEdit, {8, 209, 514, 16}},
    {Kind::LineEdit, {8, 227, 514, 16}}, {Kind::Option, {256, 94, 13, 20}},   {Kind::Option, {278, 94, 13, 20}},
    {Kind::Text, {8, 280, 514, 99}},     {Kind::Button, {529, 12, 71, 25}},   {Kind::Button, {529, 50, 71, 21}},
    {Kind::Button, {529, 72, 71, 21}},   {Kind::Button, {529, 94, 71, 21}},   {Kind::Button, {160, 121, 90, 23}},
    {Kind::Button, {297, 121, 62, 23}},  {Kind::Button, {360, 121, 62, 23}},  {Kind::Button, {450, 121, 150, 23}},
    {Kind::Button, {529, 154, 71, 18}},  {Kind::Button, {529, 172, 71, 18}},  {Kind::Button, {529, 190, 71, 18}},
    {Kind::Button, {529, 208, 71, 18}},  {Kind::Button, {529, 226, 71, 18}},  {Kind::Button, {450, 249, 150, 23}},
    {Kind::Button, {529, 315, 71, 21}},  {Kind::Button, {529, 337, 71, 21}},  {Kind::Button, {529, 359, 71, 21}},
    {Kind::Button, {8, 387, 62, 23}},    {Kind::Button, {72, 387, 62, 23}},   {Kind::Button, {137, 387, 113, 23}},
    {Kind::Button, {450, 387, 150, 23}},
};

QWidget* make(Kind kind, int number, QWidget* parent)
{
    const QString text = QStringLiteral("Text %1").arg(number);
    switch (kind) {
    case Kind::Label:
        return new QLabel(text, parent);
    case Kind::LineEdit:
        return new QLineEdit(text, parent);
    case Kind::Combo: {
        auto* combo = new QComboBox(parent);
        combo->addItems({QStringLiteral("_blank"), QStringLiteral("_parent"), QStringLiteral("_self")});
        return combo;
    }
    case Kind::Button:
        return new QPushButton(text, parent);
    case Kind::Option:
        return new QRadioButton(parent);
    case Kind::Area:
        return new QWidget(parent);
    case Kind::Text:
        return new QPlainTextEdit(text, parent);
    }
    return nullptr;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    QApplication::setFont(font);

    QMainWindow window;
    window.setFixedSize(607, 440);
    auto* central = new QWidget(&window);
    window.setCentralWidget(central);
    int number = 0;
    for (const Control& control : kControls)
        make(control.kind, ++number, central)->setGeometry(control.place);

    const char* menus[] = {"&Project", "&Edit", "&HTML", "&Color"};
    for (int m = 0; m < 4; ++m) {
        QMenu* menu = window.menuBar()->addMenu(QString::fromLatin1(menus[m]));
        for (int i = 0; i < (m < 2 ? 4 : 3); ++i)
            menu->addAction(QStringLiteral("Item %1").arg(i));
    }

    window.show();
    return QApplication::exec();
}
