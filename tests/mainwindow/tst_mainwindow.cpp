// The main window over a fake platform and settings in a temporary hive,
// driven as a user drives it: composing, keys, start-up and shut-down, and
// what the three windows draw.

#include "about/frmabout.h"
#include "composer/Composer.h"
#include "fakes/FakePlatform.h"
#include "fakes/TempSettings.h"
#include "mainwindow/BorderShape.h"
#include "mainwindow/ControlColors.h"
#include "mainwindow/SourcesComboBox.h"
#include "mainwindow/frmMain.h"
#include "resources/Resources.h"
#include "sources/Sources.h"

#include <QtTest>
#include <QtWidgets>
#include <cmath>

using namespace anchorly;

namespace {

// A main window in the font the program runs with; its folder is a fresh
// temporary one (no sources file).
struct Fixture : test::TempSettings {
    QTemporaryDir appFolder;
    test::FakePlatform platform;
    std::unique_ptr<frmMain> window;

    // Loads the window over these stored values (see store()) and types the
    // three inputs into it.
    frmMain& open(const QString& values, const QString& url = {}, const QString& description = {},
                  const QString& source = {})
    {
        QApplication::setFont(resources::dialogFont());
        platform.appFolder = appFolder.path();
        store(values);
        window = std::make_unique<frmMain>(platform, settings);
        window->Form_Load();
        window->txtHREF->setText(url);
        window->txtDESCRIPTION->setText(description);
        window->txtSOURCE->setText(source);
        return *window;
    }
};

// The toolkit's Linux key bindings take Ctrl+E in a text box as the end of
// the line; the offscreen platform has none, so the tests lend it to the box.
struct EndOfLineBinding : QObject {
    bool eventFilter(QObject*, QEvent* event) override
    {
        return event->type() == QEvent::ShortcutOverride &&
               static_cast<QKeyEvent*>(event)->keyCombination() == (Qt::CTRL | Qt::Key_E) && (event->accept(), true);
    }
};

// The part of a control where its text is drawn, inside frames and bevels.
QRect textArea(QWidget* control)
{
    if (auto* combo = qobject_cast<QComboBox*>(control)) {
        QStyleOptionComboBox option;
        option.initFrom(combo);
        return combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo);
    }
    return qobject_cast<QLabel*>(control) ? control->rect() : control->rect().adjusted(4, 3, -4, -3);
}

// Where the open popup lies, how far its list is scrolled and which scroll arrows it shows; closes it.
QString shown(QComboBox& combo)
{
    QWidget* const container = combo.view()->window();
    const QRect place = container->geometry();
    QString popup = QString::asprintf("%d,%d %dx%d scrolled %d arrows", place.x(), place.y(), place.width(),
                                      place.height(), combo.view()->verticalScrollBar()->value());
    for (const QWidget* child : container->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (qstrcmp(child->metaObject()->className(), "QComboBoxPrivateScroller") == 0)
            popup += child->isVisible() ? " shown" : " hidden";
    combo.hidePopup();
    return popup;
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    // An add fills the first free slot, shown from its start; the list mode writes the trimmed list text into
    // txtSOURCE. Inputs and slots keep any length (a line edit cuts at 32,767 unless told otherwise), and the
    // copy keeps the characters a text box shows as blanks or line breaks. The fifth add rests Add until a slot
    // is cleared.
    void add_data()
    {
        QTest::addColumn<QString>("listText"); // null: the typed source
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("description"); // as typed, and as the anchor holds it
        QTest::addColumn<QString>("url");
        const QString unusual =
            QString::fromUtf16(u"no\u00A0break\u2028line\u2029paragraph\rend") + QString(33000, 'd');
        for (const auto& [name, list, source, description, url] :
             {std::tuple{"typed", QString(), QString("x"), QString("d  <b>e"), QString(" p ")},
              {"list", QString(" Wired  News "), "Wired  News", "d  <b>e", " p "},
              {"empty list", QString(""), "", "d  <b>e", " p "},
              {"blank description", QString(), "x", "  ", " p "},
              {"long and unusual", QString(), QString(33000, 's'), unusual, QString(99950, 'u')}})
            QTest::newRow(name) << list << source << description << url;
    }
    void add()
    {
        QFETCH(QString, listText);
        QFETCH(QString, source);
        QFETCH(QString, description);
        QFETCH(QString, url);
        Fixture f;
        frmMain& w = f.open({}, url, description, listText.isNull() ? source : "x");
        w.optSource[listText.isNull() ? 0 : 1]->click();
        w.Combo2->clear();
        w.Combo2->addItems(listText.isEmpty() ? QStringList() : QStringList(listText));
        w.cmdADD_Click();
        w.cmdCopyToClipboard_Click();
        const QString anchor = "<a href=\"" + url.trimmed() + "\" target=\"_blank\">" + description.trimmed() + " - " +
                               source + "</a><br>";
        QVERIFY(w.txtSOURCE->text() + f.platform.clipboardText == source + anchor + "\r\n\r\n\r\n\r\n");
        QVERIFY(w.txtENTRY[0]->text() == anchor && w.txtENTRY[0]->cursorPosition() == 0);
        QCOMPARE(f.platform.clipboardClears, 1);
        for (int i = 0; i < 4; ++i)
            w.cmdADD_Click();
        QVERIFY(f.platform.msgBoxes.empty() && !w.cmdADD->isEnabled() &&
                w.lblInfo->text() == composer::allFilledMessage());
        w.findChild<QPushButton*>("cmdClearEntry3")->click();
        QVERIFY(w.cmdADD->isEnabled() && w.lblInfo->text().isEmpty() &&
                w.txtHTMLsource->toPlainText().count("</a><br>") == 4 &&
                w.txtHTMLsource->toPlainText().contains("</a><br>\n\n<a")); // the third line empty
    }

    // What keys do in the list mode with all three boxes filled. Tab,
    // Shift+Tab, Enter and Esc belong to the window, so passing through the
    // source box keeps the list's source; any other key there is typing. An
    // add that lacks a text reports it and marks its box. Menu shortcuts act
    // from every control, but in a box the user types in Ctrl+A and Ctrl+X
    // select and cut, and a slot refuses Ctrl+X. The preferences window
    // stores its fields when it closes.
    void keys_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("outcome");
        const auto row = [](const char* focus, const char* keys, const char* outcome) {
            QTest::addRow("%s %s", keys, focus) << focus << keys << outcome;
        };
        row("txtSOURCE", "Tab", "focus Combo2");
        row("txtSOURCE", "Shift+Tab", "focus txtDESCRIPTION: d [d]");
        row("txtSOURCE", "Num+Enter", "added ABC Online</a><br>, focus txtSOURCE: ABC Online");
        row("txtSOURCE", "X", "typed, focus txtSOURCE: x");
        row("txtSOURCE", "Backspace, Return", "Enter a SOURCE, typed, focus txtSOURCE: (marked)");
        row("txtDESCRIPTION", "Ctrl+A, Delete, Tab, Return", "Enter a DESCRIPTION, focus txtDESCRIPTION: (marked)");
        row("cmdEmptyALL", "Return", "focus txtHREF: ");
        row("txtHREF", "Esc", "exit, focus txtHREF: http://x [http]");
        row("cmdADD", "Ctrl+X", "exit, focus cmdADD");
        row("txtHREF", "Ctrl+X", "focus txtHREF: ://x");
        row("txtENTRY_1", "Ctrl+X", "focus txtENTRY_1: Entry2 [Entr]");
        row("txtENTRY_1", "Ctrl+A", "frmabout, focus txtENTRY_1: Entry2 [Entr]");
        row("txtSOURCE", "Ctrl+P", "frmPrefs, stored, focus txtSOURCE: s [s]");
        row("txtHREF", "Ctrl+E", "edited, focus txtHREF: http://x [http]");
        row("txtDESCRIPTION", "Ctrl+R", "focus txtHREF: http://x [http://x]");
    }
    void keys()
    {
        QFETCH(QString, focus);
        QFETCH(QString, keys);
        QFETCH(QString, outcome);
        Fixture f;
        frmMain& w = f.open({}, "http://x", "d", "s");
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        auto* control = w.findChild<QWidget*>(focus);
        EndOfLineBinding binding;
        control->installEventFilter(&binding);
        control->setFocus();
        if (auto* box = qobject_cast<QLineEdit*>(control))
            box->setSelection(0, 4);
        QStringList seen;
        QTimer::singleShot(0, &w, [&] { // closes the side window the keys open, and names it
            if (QWidget* modal = QApplication::activeModalWidget()) {
                seen << QString(modal->metaObject()->className()).remove("anchorly::");
                modal->close();
            }
        });
        if (keys.startsWith("Shift+"))
            QTest::keyPress(control, Qt::Key_Shift, Qt::ShiftModifier); // as a keyboard sends it
        QTest::keySequence(control, QKeySequence(keys));
        seen << (f.platform.msgBoxes.empty() ? "" : f.platform.msgBoxes[0].prompt.section(' ', 0, 2))
             << (f.platform.endCalls ? "exit" : "") << (f.platform.shells.empty() ? "" : "edited")
             << (f.registry.GetStringValue(settings::kKeyPath, "Browser") != "Error" ? "stored" : "")
             << (w.txtENTRY[0]->text().size() > 6 ? "added " + w.txtENTRY[0]->text().section(" - ", 1) : "")
             << (w.optSource[0]->isChecked() ? "typed" : "");
        seen.removeAll(QString());
        QString state = "focus " + w.focusWidget()->objectName();
        if (auto* box = qobject_cast<QLineEdit*>(w.focusWidget()))
            state += ": " + box->text() + (box->hasSelectedText() ? " [" + box->selectedText() + "]" : "") +
                     (backColor(box) == toColorNumber(toQColor(kHighlightColor)) ? "(marked)" : "");
        QCOMPARE((seen << state).join(", "), outcome);
    }

    // What the window restores: its place (centred where the store gives
    // none, or only one edge), the target, the source index, the typed mode,
    // the border colour and whether "Default" may be chosen.
    void startUp()
    {
        const char* const usual = "208,165 _blank 0 0 65280 0";
        // what is stored, then what the window shows
        for (const auto& [stored, restored] :
             {std::pair{"", usual}, {"Startup=True;Top=1500;Left=3000", "200,100 _blank 0 0 65280 0"},
              {"Startup=True", usual}, {"Startup=True;Left=3000", "200,165 _blank 0 0 65280 0"},
              {"Startup=True;Top=-15;Left=3000", usual}, {"Startup=True;Top=1500;Left=300000", usual},
              {"Startup=True;Top=1500;Left=32212252672", "208,100 _blank 0 0 65280 0"},
              // The stored mode wins over the list mode that selecting the stored source chose.
              {"ComboIndex=3;ComboSource=2;BorderColor=255;Source Option Text=True;Source Option Combo=False",
               "208,165 _top 2 1 255 1"},
              {"ComboIndex=x;ComboSource=700", usual}}) {
            Fixture f;
            frmMain& w = f.open(stored);
            const QString shown = QString::asprintf(
                "%d,%d %s %d %d %u %d", w.x(), w.y(), qPrintable(w.lblTARGET->text().section('"', 2, 2)),
                w.Combo2->currentIndex(), w.optSource[0]->isChecked() && !w.optSource[1]->isChecked(),
                w.Shape1->borderColor(), w.findChild<QAction*>("menuDefaultcolor")->isEnabled());
            QCOMPARE(QString(stored) + ": " + shown, QString(stored) + ": " + restored);
        }
    }

    // A close stores the place, the start flag, both lists' indexes and the source mode (tests/e2e/journey.py);
    // a minimized window keeps the place stored before.
    void close()
    {
        Fixture f;
        frmMain& w = f.open("Top=7;Left=8;ComboIndex=2");
        w.move(100, 50);
        w.showMinimized();
        w.cmdExit_Click();
        QStringList stored;
        for (const char* name : {"Top", "Left", "Startup", "ComboIndex", "ComboSource", "Source Option Text"})
            stored << f.stored(name);
        QCOMPARE(stored.join(' ') + ' ' + QString::number(f.platform.endCalls), "7 8 True 2 0 False 1");
    }

    // A second copy is told so, calls the running one forward and ends before
    // it loads; a check that fails is reported with the closing line its number
    // calls for, and the start goes on.
    void instanceCheck_data()
    {
        QTest::addColumn<int>("error"); // 0: the check finds another copy
        QTest::addColumn<QString>("message");
        const QString error = "0 Error: An Error was generated:\r\nDescription: Error %1 - broken\r\n\r\n",
                      reinstall = "Re-install the program to fix this";
        QTest::newRow("second copy") << 0 << "64 Anchorly: Anchorly is already running.";
        QTest::newRow("339") << 339 << error.arg(339) + reinstall + ".";
        QTest::newRow("50003") << 50003 << error.arg(50003) + reinstall + ", or get the latest vbruntimes at Quillbay.";
        QTest::newRow("75") << 75 << error.arg(75) + "Please inform the author with the error description above.";
    }
    void instanceCheck()
    {
        QFETCH(int, error);
        QFETCH(QString, message);
        Fixture f;
        f.platform.previousInstance = true;
        if (error)
            f.platform.instanceError = RuntimeError(error, "broken");
        frmMain w(f.platform, f.settings);
        QCOMPARE(w.Form_Initialize(), error != 0);
        const auto& box = f.platform.msgBoxes.at(0);
        QCOMPARE(QString::number(box.style) + ' ' + box.title + ": " + box.prompt, message);
        QCOMPARE(f.platform.endCalls + f.platform.prevInstanceCalls, error ? 0 : 2);
        // The copy that runs comes forward, out of minimized, when a later start calls it.
        f.platform = test::FakePlatform();
        frmMain running(f.platform, f.settings);
        QVERIFY(running.Form_Initialize());
        running.showMinimized();
        f.platform.calledByNextInstance();
        QTRY_VERIFY(!running.isMinimized() && running.isActiveWindow());
    }

    // A link dropped outside the boxes (here on the info line, and on a slot,
    // which takes no text) fills the address and the description and moves
    // the focus on to the first box still empty, the typed source only in its
    // mode; a drop into a box is the box's own.
    void dropLink()
    {
        Fixture f;
        frmMain& w = f.open({}, "old", "", "");
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        const auto drop = [&w](QWidget* target, const char* format, const QString& content) {
            QMimeData data;
            data.setData(format, content.toUtf8());
            QDragEnterEvent enter({5, 5}, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(target, &enter) && QApplication::sendEvent(target, &dropped);
            return w.txtHREF->text() + '|' + w.txtDESCRIPTION->text() + '|' + QApplication::focusWidget()->objectName();
        };
        QCOMPARE(drop(w.lblInfo, "text/html", "<a href=\"https://a.example/\">Page</a>"),
                 "https://a.example/|Page|cmdADD");
        QCOMPARE(drop(w.txtDESCRIPTION, "text/plain", "www.x"), "https://a.example/|www.xPage|cmdADD");
        w.optSource[0]->click();
        QCOMPARE(drop(w.txtENTRY[2], "text/uri-list", "https://b.example/\r\n"),
                 "https://b.example/|www.xPage|txtSOURCE");
        w.txtHREF->undo();
        QCOMPARE(w.txtHREF->text(), "https://a.example/");
    }

    // The target list shows on a click on the target piece and hides on a
    // click elsewhere or a pick, which sets the piece. A hover lights a label
    // and moves the focus into its input (the list in the list mode); the
    // frame puts every colour back.
    void targetAndHover()
    {
        Fixture f;
        frmMain& w = f.open({});
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.lblTARGET_Click();
        QVERIFY(w.Combo1->isVisible());
        w.Form_Click();
        QVERIFY(!w.Combo1->isVisible());
        w.lblTARGET_Click();
        w.Combo1->setCurrentIndex(3);
        emit w.Combo1->activated(3);
        QCOMPARE(w.lblTARGET->text() + (w.Combo1->isVisible() ? " shown" : ""), "\" target=\"_top\">");
        w.lbSOURCEDESCRIPTION_MouseMove();
        QVERIFY(w.focusWidget() == w.Combo2 && backColor(w.Combo2) == kWhite && backColor(w.txtSOURCE) == kLightGrey &&
                foreColor(w.lbSOURCEDESCRIPTION) == kRed);
        w.Image1_MouseMove();
        QVERIFY(backColor(w.Combo2) == kLightGrey && foreColor(w.lbSOURCEDESCRIPTION) == kDarkBlue);

        // The keyboard alone (the rest in tests/e2e/accessibility.py): Alt+T drops the list down at the target
        // piece, Esc closes it and keeps the target, the window and the focus.
        QAbstractItemView* view = w.Combo1->view();
        QTest::keyClick(w.Combo2, Qt::Key_T, Qt::AltModifier);
        QTRY_VERIFY(view->isVisible() && w.Combo1->isVisible());
        QVERIFY(view->window()->geometry().intersects({w.lblTARGET->mapToGlobal(QPoint()), w.lblTARGET->size()}));
        QTest::keySequence(view, QKeySequence("Down, Esc"));
        QTRY_VERIFY(!view->isVisible());
        QVERIFY(!w.Combo1->isVisible() && w.lblTARGET->text() == "\" target=\"_top\">" && !f.platform.endCalls &&
                QApplication::focusWidget() == w.Combo2);
    }

    // What a screen reader hears after a command: the info line tells what happened, while it shows what it
    // showed. (Every control's name: tests/e2e/accessibility.py.)
    void screenReader()
    {
        Fixture f;
        frmMain& w = f.open({}, "u", "d", "s");
        w.optSource[0]->click();
        QStringList heard;
        for (const char* button :
             {"cmdADD", "cmdClearEntry1", "cmdClear", "cmdEmptyURL", "cmdEmptyALL", "cmdCopyToClipboard"}) {
            w.findChild<QPushButton*>(button)->click();
            heard << QAccessible::queryAccessibleInterface(w.lblInfo)->text(QAccessible::Description);
        }
        QCOMPARE(heard.join(" | "), "Entry 1: <a href=\"u\" target=\"_blank\">d - s</a><br> | Entry 1 cleared | "
                                    "All entries cleared | Address cleared | All input cleared | "
                                    "HTML source copied to the clipboard");
        QCOMPARE(w.lblInfo->text(), QString());
    }

    // The border colour: a pick shows and stores it at once and allows
    // "Default"; a cancel on green disables "Default"; "Default" stores green.
    void borderColour()
    {
        Fixture f;
        frmMain& w = f.open("BorderColor=255");
        const auto state = [&] {
            return QString::number(w.Shape1->borderColor()) + ' ' + f.stored("BorderColor") +
                   (w.findChild<QAction*>("menuDefaultcolor")->isEnabled() ? " Default" : "");
        };
        QCOMPARE(state(), "255 255 Default");
        // each answer of the colour dialog (none: cancelled), then what the window shows and stores
        for (const auto& [answer, shown] : {std::pair{std::optional<quint32>(65280), "65280 65280 Default"},
                                            {std::nullopt, "65280 65280"},
                                            {16777215u, "65280 65280"}}) {
            f.platform.colorAnswer = answer;
            w.menuChangeBorderColor_Click();
            if (answer == 16777215u)
                w.menuDefaultcolor_Click();
            QCOMPARE(state(), shown);
        }
    }

    // Under a dark palette, with every text they can show (the longest
    // target, the fifth slot's message, filled and marked boxes, locations, a
    // marked button), the three windows draw each caption whole inside its
    // control and its window, and every text of a control in use at a contrast of 4.5:1 or better
    // between the lightest and the darkest pixel of its area (relative
    // luminance of the web's accessibility guidelines). The longest target
    // piece keeps clear of the
    // description's label and the row inside its frame. Last: it changes the
    // application's palette.
    void looks()
    {
        const auto linear = [](int channel) { return std::pow((channel / 255.0 + 0.055) / 1.055, 2.4); };
        const auto luminance = [&](QRgb p) {
            return 0.2126 * linear(qRed(p)) + 0.7152 * linear(qGreen(p)) + 0.0722 * linear(qBlue(p));
        };
        const auto contrast = [&](const QImage& shot, const QRect& area) { // of its lightest and darkest pixel
            std::vector<double> shades;
            for (int y = area.top(); y <= area.bottom(); ++y)
                for (int x = area.left(); x <= area.right(); ++x)
                    shades.push_back(luminance(shot.pixel(x, y)));
            const auto [darkest, lightest] = std::minmax_element(shades.begin(), shades.end());
            return (*lightest + 0.05) / (*darkest + 0.05);
        };
        QApplication::setPalette(QPalette(QColor(53, 53, 53)));
        Fixture f;
        frmMain& w = f.open("Editor=/x/<b>y</b>;HTMLfile=/z;Browser=/x;ComboIndex=1;Source Option Text=True", "u", "d");
        w.lblTARGET_Click();
        w.txtSOURCE->setText("s");
        for (int slot = 0; slot < 5; ++slot) // the fifth add shows the info line's message
            w.cmdADD_Click();
        w.txtSOURCE->clear();
        w.cmdADD_Click(); // marks the source box
        w.txtSOURCE->setText("s");
        frmPrefs prefs(f.platform, f.settings, &w);
        prefs.setLocateHighlight(prefs.cmdLocateEditor(), true);
        auto* editor = prefs.findChild<QLineEdit*>("txtEditorPath"); // its tooltip shows the path as it stands
        QMouseEvent move(QEvent::MouseMove, {5, 5}, editor->mapToGlobal(QPointF(5, 5)), {}, {}, {});
        QApplication::sendEvent(editor, &move);
        // The toolkit takes a tooltip that looks like markup as rich text.
        QCOMPARE(QTextDocumentFragment::fromHtml(editor->toolTip()).toPlainText(), "/x/<b>y</b>");
        frmabout about(f.platform, &w);
        for (QWidget* window : std::initializer_list<QWidget*>{&w, &prefs, &about}) {
            const QImage shot = window->grab().toImage();
            for (QWidget* control : window->findChildren<QWidget*>()) {
                const char* property = qobject_cast<QComboBox*>(control) ? "currentText" : "text";
                const QString text = control->property(property).toString().remove('&');
                if (text.isEmpty() || !control->isVisibleTo(window))
                    continue;
                const QRect area = textArea(control);
                const QPoint at = control->mapTo(window, area.topLeft());
                const QFontMetrics metrics = control->fontMetrics();
                // A caption shows whole; what the user types may scroll in its box.
                if (qobject_cast<QLabel*>(control) || qobject_cast<QPushButton*>(control) || control == w.Combo1)
                    QVERIFY2(metrics.horizontalAdvance(text) <= area.width() && metrics.height() <= control->height() &&
                                 at.x() + metrics.horizontalAdvance(text) <= window->width(),
                             qPrintable(control->objectName() + ": " + text));
                QVERIFY2(!control->isEnabled() || contrast(shot, QRect(at, area.size()) & shot.rect()) >= 4.5,
                         qPrintable(control->objectName() + text));
            }
        }
        for (QRadioButton* option : w.optSource) { // checked and not, each stands out at 3:1 at least
            const QImage shot = option->grab().toImage();
            QVERIFY2(contrast(shot, shot.rect()) >= 3, qPrintable(option->objectName()));
        }
        // The scroll bar arrows take the box's text colour.
        QVERIFY(contrastRatio(w.txtHTMLsource->palette().color(QPalette::WindowText), toQColor(kLightGrey)) >= 4.5);
        const QImage whole = w.grab().toImage(); // the frame is drawn over the row's face
        QCOMPARE(whole.pixel(w.Shape1->mapTo(&w, QPoint(1, 1))), qRgb(0, 255, 0));
        QCOMPARE(w.windowIcon().availableSizes(), (QList<QSize>{{16, 16}, {32, 32}, {48, 48}}));
        QVERIFY(w.lblTARGET->geometry().right() < w.lblDESCRIPTION->x() &&
                w.lblENDTAG->geometry().right() < w.Shape1->geometry().right() - 3);
    }

    // The sources list opened its quick way lands where the toolkit's own popup lands, as wide, as high, scrolled
    // alike, with the same scroll arrows, also after the list changed.
    void sourcesPopup()
    {
        QStringList names;
        for (int i = 0; i < 1500; ++i)
            names.append(QStringLiteral("%1 %2").arg(i, 4, 10, QLatin1Char('0')).arg(QString(i % 41, 'm')));
        names[1200] += QString(60, QLatin1Char('W')); // the widest by far
        // the current name, where the window stands, and what changed in the list since it was shown
        for (const auto& [current, windowAt, change] :
             {std::tuple{0, QPoint(0, 0), QString()}, {700, QPoint(0, 0), ""}, {1499, QPoint(0, 0), ""},
              {700, QPoint(500, 300), "at the screen's right edge"}, {10, QPoint(-350, 0), "past its left edge"},
              {700, QPoint(0, 0), "a wider name added"}, {700, QPoint(0, 0), "a name added before the widest"},
              {700, QPoint(0, 0), "the widest removed"}, {700, QPoint(0, 0), "the widest shortened"},
              {700, QPoint(0, 0), "read again"}}) {
            Fixture f;
            frmMain& w = f.open("");
            w.move(windowAt);
            auto& combo = *qobject_cast<SourcesComboBox*>(w.Combo2);
            sources::addSorted(&combo, names);
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w) && combo.widestNameWidth() > 0);
            auto* model = sources::sourcesModel(&combo);
            if (change.contains("added"))
                sources::addSorted(&combo, {change.contains("before") ? "1200" : "0001 " + QString(80, 'W')});
            else if (change.contains("removed"))
                model->removeRows(1200, 1);
            else if (change.contains("shortened"))
                model->setData(model->index(1200), QStringLiteral("1200"));
            else if (change.contains("again"))
                model->setStringList(names.mid(0, 1100));
            combo.setCurrentIndex(current);

            combo.view()->scrollToTop();
            combo.QComboBox::showPopup();
            const QString toolkit = shown(combo);
            combo.view()->scrollToBottom(); // as a list scrolled before
            combo.showPopup();
            QVERIFY2(toolkit.endsWith(" shown") || toolkit.endsWith(" hidden"), "the style opens a menu-like popup");
            QCOMPARE(QString::number(current) + ' ' + change + ": " + shown(combo),
                     QString::number(current) + ' ' + change + ": " + toolkit);
        }
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
