// The composer's add command and the hover handlers of the main window, run
// on the real window (offscreen) with every entry slot near its longest:
// one add fills the fifth slot and rebuilds the HTML source box from all
// five. Baselines, measured in the same run on plain widgets of the same
// kinds: for the add, the two widget updates any add needs (one
// QLineEdit::setText of the anchor and one QPlainTextEdit::setPlainText of
// the assembled source); for the hover handlers, one colour change of one
// label.

#include "BenchTable.h"
#include "mainwindow/ControlColors.h"
#include "mainwindow/frmMain.h"
#include "platform/QtPlatform.h"
#include "settings/HiveRegistryApi.h"
#include "settings/Registry.h"
#include "settings/Settings.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <functional>

using namespace anchorly;

namespace {

constexpr int kAdds = 101;
constexpr int kHoverRounds = 2001;

// Median time of one call in microseconds; prepare runs untimed before each.
double medianMicros(int rounds, const std::function<void()>& prepare, const std::function<void()>& call)
{
    std::vector<double> times;
    times.reserve(rounds);
    for (int i = 0; i < rounds; ++i) {
        prepare();
        QElapsedTimer timer;
        timer.start();
        call();
        times.push_back(timer.nsecsElapsed() / 1e3);
    }
    return bench::median(times);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QTemporaryDir home;
    QtPlatform platform(home.filePath(QStringLiteral("anchorly.lock")));
    registry::HiveRegistryApi api(home.filePath(QStringLiteral("registry")).toStdString());
    registry::Registry registry(api, nullptr);
    settings::Settings settings(registry);

    frmMain window(platform, settings);
    window.Form_Initialize();
    window.Form_Load();
    window.show();
    QApplication::processEvents();

    // Inputs that make an anchor just under a slot's 32,767 characters.
    const int maxLength = window.txtENTRY[0]->maxLength();
    window.optSource[0]->setChecked(true);
    window.txtSOURCE->setText(QStringLiteral("Wired News"));
    window.txtDESCRIPTION->setText(QString(200, u'd'));
    window.txtHREF->setText(QStringLiteral("https://example.com/") + QString(maxLength - 320, u'u'));
    for (int slot = 0; slot < 4; ++slot)
        window.txtENTRY[slot]->setText(QString(maxLength - 10, QChar(u'a' + slot)));

    QString anchor;
    const double add = medianMicros(
        kAdds,
        [&] {
            window.txtENTRY[4]->setText(QStringLiteral("Entry5"));
            window.cmdADD->setEnabled(true);
            QApplication::processEvents();
        },
        [&] { window.cmdADD_Click(); });
    anchor = window.txtENTRY[4]->text();
    const QString source = window.txtHTMLsource->toPlainText();
    if (anchor.size() < maxLength - 200 || !anchor.startsWith(QStringLiteral("<a href="))) {
        std::fprintf(stderr, "the add did not fill the fifth slot (%lld characters)\n", qlonglong(anchor.size()));
        return 1;
    }

    QWidget plain;
    auto* line = new QLineEdit(&plain);
    auto* box = new QPlainTextEdit(&plain);
    line->setMaxLength(maxLength);
    // The same size and settings as the HTML source box.
    box->setGeometry(window.txtHTMLsource->geometry());
    box->setLineWrapMode(window.txtHTMLsource->lineWrapMode());
    box->setHorizontalScrollBarPolicy(window.txtHTMLsource->horizontalScrollBarPolicy());
    box->setVerticalScrollBarPolicy(window.txtHTMLsource->verticalScrollBarPolicy());
    box->setFont(window.txtHTMLsource->font());
    plain.resize(window.size());
    plain.show();
    const QString shorter = source.left(source.size() - anchor.size());
    const double floor = medianMicros(
        kAdds,
        [&] {
            line->setText(QStringLiteral("Entry5"));
            box->setPlainText(shorter);
            QApplication::processEvents();
        },
        [&] {
            line->setText(anchor);
            box->setPlainText(source);
        });
    bench::row("Add with rebuild, slots near 32,767 chars", add, "setText + setPlainText of same texts", floor, "us");

    // Hover handlers: each hover alternates with the reset over the frame, as
    // the mouse moves between them.
    QLabel* label = new QLabel(QStringLiteral("label"), &plain);
    bool red = false;
    const double colour = medianMicros(
        kHoverRounds, [&] { red = !red; }, [&] { setForeColor(label, red ? kRed : kDarkBlue); });
    const auto hover = [&](const char* what, void (frmMain::*handler)()) {
        const double micros = medianMicros(
            kHoverRounds, [&] { window.Form_MouseMove(); }, [&] { (window.*handler)(); });
        bench::row(what, micros, "one label colour change", colour, "us");
    };
    hover("Hover: lblURL_MouseMove", &frmMain::lblURL_MouseMove);
    hover("Hover: lbSOURCEDESCRIPTION_MouseMove", &frmMain::lbSOURCEDESCRIPTION_MouseMove);
    hover("Hover: txtENTRY_MouseMove (5 long tooltips)", &frmMain::txtENTRY_MouseMove);
    const double reset = medianMicros(
        kHoverRounds, [&] { window.lblURL_MouseMove(); }, [&] { window.Form_MouseMove(); });
    bench::row("Reset: Form_MouseMove", reset, "one label colour change", colour, "us");
    return 0;
}
