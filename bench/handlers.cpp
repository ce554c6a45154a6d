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

constexpr int kWarmUp = 10;
constexpr int kAdds = 100;
constexpr int kHoverRounds = 2000;

// Times one call in microseconds; prepare runs untimed before it.
double micros(const std::function<void()>& prepare, const std::function<void()>& call)
{
    prepare();
    QElapsedTimer timer;
    timer.start();
    call();
    return timer.nsecsElapsed() / 1e3;
}

// Times the call and its baseline in turn, the first one alternating.
bench::Pairs inTurn(int rounds, const std::function<void()>& prepare, const std::function<void()>& call,
                    const std::function<void()>& prepareBaseline, const std::function<void()>& baseline)
{
    bench::Pairs pairs(kWarmUp);
    for (int i = 0; i < kWarmUp + rounds; ++i) {
        double value = 0, base = 0;
        if (i % 2) {
            value = micros(prepare, call);
            base = micros(prepareBaseline, baseline);
        } else {
            base = micros(prepareBaseline, baseline);
            value = micros(prepare, call);
        }
        pairs.add(value, base);
    }
    return pairs;
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

    // Inputs that make an anchor just under 32,767 characters, the longest a
    // text box takes unless told otherwise; the slots take any length.
    const int maxLength = 32767;
    window.optSource[0]->setChecked(true);
    window.txtSOURCE->setText(QStringLiteral("Wired News"));
    window.txtDESCRIPTION->setText(QString(200, u'd'));
    window.txtHREF->setText(QStringLiteral("https://example.com/") + QString(maxLength - 320, u'u'));
    for (int slot = 0; slot < 4; ++slot)
        window.txtENTRY[slot]->setText(QString(maxLength - 10, QChar(u'a' + slot)));

    // The baseline's widgets: the same size and settings as the HTML source
    // box, and the two texts an add leaves, taken from a first add.
    window.cmdADD_Click();
    const QString anchor = window.txtENTRY[4]->text();
    const QString source = window.txtHTMLsource->toPlainText();
    if (anchor.size() < maxLength - 200 || !anchor.startsWith(QStringLiteral("<a href="))) {
        std::fprintf(stderr, "the add did not fill the fifth slot (%lld characters)\n", qlonglong(anchor.size()));
        return 1;
    }
    QWidget plain;
    auto* line = new QLineEdit(&plain);
    auto* box = new QPlainTextEdit(&plain);
    line->setMaxLength(maxLength);
    box->setGeometry(window.txtHTMLsource->geometry());
    box->setLineWrapMode(window.txtHTMLsource->lineWrapMode());
    box->setHorizontalScrollBarPolicy(window.txtHTMLsource->horizontalScrollBarPolicy());
    box->setVerticalScrollBarPolicy(window.txtHTMLsource->verticalScrollBarPolicy());
    box->setFont(window.txtHTMLsource->font());
    plain.resize(window.size());
    plain.show();
    const QString shorter = source.left(source.size() - anchor.size());

    inTurn(
        kAdds,
        [&] {
            window.txtENTRY[4]->setText(QStringLiteral("Entry5"));
            window.cmdADD->setEnabled(true);
            QApplication::processEvents();
        },
        [&] { window.cmdADD_Click(); },
        [&] {
            line->setText(QStringLiteral("Entry5"));
            box->setPlainText(shorter);
            QApplication::processEvents();
        },
        [&] {
            line->setText(anchor);
            box->setPlainText(source);
        })
        .row("Add with rebuild, slots near 32,767 chars", "setText + setPlainText of same texts", "us");

    // Hover handlers: each hover alternates with the reset over the frame, as
    // the mouse moves between them.
    QLabel* label = new QLabel(QStringLiteral("label"), &plain);
    bool red = false;
    const auto flip = [&] { red = !red; };
    const auto colour = [&] { setForeColor(label, red ? kRed : kDarkBlue); };
    const auto hover = [&](const char* what, void (frmMain::*handler)()) {
        inTurn(
            kHoverRounds, [&] { window.Form_MouseMove(); }, [&] { (window.*handler)(); }, flip, colour)
            .row(what, "one label colour change", "us");
    };
    hover("Hover: lblURL_MouseMove", &frmMain::lblURL_MouseMove);
    hover("Hover: lbSOURCEDESCRIPTION_MouseMove", &frmMain::lbSOURCEDESCRIPTION_MouseMove);
    hover("Hover: txtENTRY_MouseMove (5 long tooltips)", &frmMain::txtENTRY_MouseMove);
    inTurn(
        kHoverRounds, [&] { window.lblURL_MouseMove(); }, [&] { window.Form_MouseMove(); }, flip, colour)
        .row("Reset: Form_MouseMove", "one label colour change", "us");
    return 0;
}
