// The start-up baseline: a bare Qt program that shows a window of the main
// window's size and font with the same controls (10 labels, 8 one-line text
// boxes, 2 lists, 1 multi-line box, 21 buttons, 2 option buttons, 2 plain
// areas, and a menu bar of 4 menus with 14 items), but no settings, no
// sources list and none of the program's work.

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

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    QApplication::setFont(font);

    QMainWindow window;
    window.setFixedSize(607, 420);
    auto* central = new QWidget(&window);
    window.setCentralWidget(central);

    int row = 0;
    const auto place = [&](QWidget* widget, int width) {
        widget->setGeometry(8 + (row % 4) * 150, 8 + (row / 4) * 24, width, 21);
        ++row;
    };
    for (int i = 0; i < 10; ++i)
        place(new QLabel(QStringLiteral("Label %1").arg(i), central), 140);
    for (int i = 0; i < 8; ++i)
        place(new QLineEdit(QStringLiteral("Entry%1").arg(i), central), 140);
    for (int i = 0; i < 2; ++i) {
        auto* combo = new QComboBox(central);
        combo->addItems({QStringLiteral("_blank"), QStringLiteral("_parent"), QStringLiteral("_self")});
        place(combo, 140);
    }
    for (int i = 0; i < 21; ++i)
        place(new QPushButton(QStringLiteral("Button %1").arg(i), central), 140);
    for (int i = 0; i < 2; ++i)
        place(new QRadioButton(QStringLiteral("Option %1").arg(i), central), 140);
    for (int i = 0; i < 2; ++i)
        place(new QWidget(central), 140);
    auto* text = new QPlainTextEdit(central);
    text->setGeometry(8, 300, 590, 80);

    const char* menus[] = {"&Project", "&Edit", "&HTML", "&Color"};
    for (int m = 0; m < 4; ++m) {
        QMenu* menu = window.menuBar()->addMenu(QString::fromLatin1(menus[m]));
        for (int i = 0; i < (m < 2 ? 4 : 3); ++i)
            menu->addAction(QStringLiteral("Item %1").arg(i));
    }

    window.show();
    return QApplication::exec();
}
