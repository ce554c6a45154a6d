// Start-up and shut-down: refusing a second copy, restoring the stored state
// and saving it when the window closes.

#include "mainwindow/BorderShape.h"
#include "mainwindow/frmMain.h"
#include "platform/AppInfo.h"
#include "platform/RuntimeError.h"
#include "settings/Settings.h"
#include "sources/Sources.h"
#include "sources/SourcesLocation.h"

#include <QComboBox>
#include <QRadioButton>
#include <cmath>

namespace anchorly {

namespace {

// Runs one step of a handler whose failing steps are skipped.
template <typename Step> void skipOnError(Step&& step)
{
    try {
        step();
    } catch (...) {
    }
}

QString closingLineFor(int errorNumber)
{
    switch (errorNumber) {
    case errnum::ComponentMissing:
        return QStringLiteral("Re-install the program to fix this.");
    case errnum::ComponentFailure:
        return QStringLiteral("Re-install the program to fix this, or get the latest vbruntimes at Quillbay.");
    default:
        return QString::fromLatin1(kInformAuthor);
    }
}

} // namespace

bool frmMain::Form_Initialize()
{
    try {
        if (m_platform.prevInstance()) {
            m_platform.msgBox(QStringLiteral("Anchorly is already running."), MsgStyle::Information,
                              QString::fromLatin1(app::kTitle));
            // Once the message is read, the window the user was looking for comes forward.
            m_platform.callPrevInstance();
            m_platform.end();
            return false;
        }
        m_platform.onCalledByNextInstance([this] { comeForward(); });
    } catch (...) {
        const RuntimeError error = RuntimeError::fromCurrentException();
        reportUnexpectedError(m_platform, error, closingLineFor(error.number()));
    }
    return true;
}

void frmMain::centre()
{
    const int twips = m_platform.twipsPerPixel();
    const QRect frame = frameGeometry();
    const int left = (m_platform.screenWidthTwips() - frame.width() * twips) / 2;
    const int top = (m_platform.screenHeightTwips() - frame.height() * twips) / 2;
    move(left / twips, top / twips);
}

void frmMain::Form_Load()
{
    using namespace settings::name;
    const int twips = m_platform.twipsPerPixel();

    skipOnError([&] { m_settings.createKey(); });

    bool bStartup = false;
    skipOnError([&] {
        if (const auto flag = m_settings.readFlag(Startup))
            bStartup = *flag;
    });

    // The window starts centred: a restore that finds no stored place, or only
    // one of its two edges, keeps the centred edge rather than the screen's corner.
    skipOnError([&] {
        centre();
        if (!bStartup)
            return;
        if (const auto top = m_settings.readPosition(Top))
            move(x(), int(std::lround(*top / twips)));
        if (const auto left = m_settings.readPosition(Left))
            move(int(std::lround(*left / twips)), y());
        const QRect frame = frameGeometry();
        // A stored place above or left of the screen's origin, or one on a
        // screen that is no longer there, is not used.
        if (!(y() >= 0 && x() >= 0) || !m_platform.isOnSomeScreen(frame.x(), frame.y(), frame.width(), frame.height()))
            centre();
    });

    skipOnError([&] {
        if (const auto color = m_settings.readInt32(BorderColor))
            Shape1->setBorderColor(quint32(*color));
    });

    skipOnError([&] {
        if (const auto index = m_settings.readInt16(ComboIndex))
            setComboListIndex(Combo1, *index);
        if (Combo1->currentIndex() == -1)
            setComboListIndex(Combo1, 0);
    });

    skipOnError([&] { sources::LoadComboFromFile(Combo2, sources::sourcesLocation(m_platform).readPath); });

    skipOnError([&] {
        if (const auto index = m_settings.readInt16(ComboSource))
            setComboListIndex(Combo2, *index);
        if (Combo2->currentIndex() == -1)
            setComboListIndex(Combo2, 0);
    });

    // After the stored source, so that the stored mode wins over the one its
    // selection set.
    skipOnError([&] {
        if (const auto text = m_settings.readFlag(SourceOptionText))
            setOption(0, *text);
    });
    skipOnError([&] {
        if (const auto combo = m_settings.readFlag(SourceOptionCombo))
            setOption(1, *combo);
    });

    skipOnError([&] { checkCOLORS(); });
}

void frmMain::Form_QueryUnload()
{
    using namespace settings::name;
    const int twips = m_platform.twipsPerPixel();

    // Where the position cannot be known, the one stored last stays for the next
    // start, and so does a first start's centring: "Startup" says that a place was stored.
    const bool placed = m_platform.windowPositionKnown();
    if (!isMinimized() && placed) {
        skipOnError([&] { m_settings.writePosition(Top, float(frameGeometry().y() * twips)); });
        skipOnError([&] { m_settings.writePosition(Left, float(frameGeometry().x() * twips)); });
    }
    if (placed)
        skipOnError([&] { m_settings.writeFlag(Startup, true); });
    skipOnError([&] { m_settings.writeWhole(ComboIndex, Combo1->currentIndex()); });
    skipOnError([&] { m_settings.writeWhole(ComboSource, Combo2->currentIndex()); });
    skipOnError([&] { m_settings.writeFlag(SourceOptionText, optSource[0]->isChecked()); });
    skipOnError([&] { m_settings.writeFlag(SourceOptionCombo, optSource[1]->isChecked()); });
}

void frmMain::Form_Unload()
{
    m_platform.end();
}

} // namespace anchorly
