// The about window: what it shows, how it closes, and what the link does.

#include "about/frmabout.h"
#include "fakes/FakePlatform.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace anchorly;
using anchorly::test::FakePlatform;

class TestAbout : public QObject {
    Q_OBJECT
private slots:
    void showsVersionAndYear_data();
    void showsVersionAndYear();
    void closing_data();
    void closing();
    void linkClick();
    void linkShowsHand();
    void textsFitTheWindow();

private:
    static QString text(QWidget* window, const char* name)
    {
        return window->findChild<QLabel*>(QLatin1String(name))->text();
    }
};

void TestAbout::showsVersionAndYear_data()
{
    QTest::addColumn<int>("year");
    QTest::newRow("this year") << 2026;
    QTest::newRow("a later year") << 2031;
}

void TestAbout::showsVersionAndYear()
{
    QFETCH(int, year);
    FakePlatform platform;
    platform.year = year;
    QWidget mainWindow;
    frmabout about(platform, &mainWindow);

    QCOMPARE(about.windowTitle(), QStringLiteral("About"));
    QCOMPARE(text(&about, "lblprogtitle"), QStringLiteral("Anchorly"));
    QCOMPARE(text(&about, "lblversion"), QStringLiteral("Version 1.0.3"));
    QCOMPARE(text(&about, "lblcopyright"), QStringLiteral("Copyright \u00A9 2002 - %1").arg(year));
    QCOMPARE(text(&about, "lblcopyright2"), QStringLiteral("Quillbay"));
    QCOMPARE(text(&about, "lblurl"), QStringLiteral("http://www.quillbay.example/"));
}

// --- closing -------------------------------------------------------------------------
void TestAbout::closing_data()
{
    QTest::addColumn<int>("key"); // 0: the close box
    QTest::addColumn<bool>("closes");
    QTest::newRow("Enter right after opening") << int(Qt::Key_Return) << true;
    QTest::newRow("Esc does nothing") << int(Qt::Key_Escape) << false;
    QTest::newRow("close box") << 0 << true;
}

void TestAbout::closing()
{
    QFETCH(int, key);
    QFETCH(bool, closes);
    FakePlatform platform;
    QWidget mainWindow;
    QPointer<frmabout> about = new frmabout(platform, &mainWindow);

    bool openAfterwards = true;
    QObject context;
    QTimer::singleShot(0, &context, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        QVERIFY(dialog);
        if (key == 0)
            dialog->close();
        else
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : dialog, Qt::Key(key));
        openAfterwards = dialog->isVisible();
        if (openAfterwards)
            dialog->findChild<QPushButton*>("cmdok")->click();
    });
    about->exec();

    QCOMPARE(openAfterwards, !closes);
    QTRY_VERIFY(about.isNull()); // each opening builds a new window
    QVERIFY(platform.shellExecutes.empty());
    QVERIFY(!mainWindow.isMinimized());
}

// --- the link ------------------------------------------------------------------------------
void TestAbout::linkClick()
{
    FakePlatform platform;
    QWidget mainWindow;
    mainWindow.show();
    QPointer<frmabout> about = new frmabout(platform, &mainWindow);
    QWidget* dialogSeen = nullptr;

    QObject context;
    QTimer::singleShot(0, &context, [&] {
        dialogSeen = QApplication::activeModalWidget();
        QTest::mouseClick(dialogSeen->findChild<QLabel*>("lblurl"), Qt::LeftButton, {}, QPoint(4, 4));
    });
    about->exec();

    QTRY_VERIFY(about.isNull());
    QVERIFY(mainWindow.isMinimized());
    QCOMPARE(platform.shellExecutes.size(), size_t(1));
    QCOMPARE(platform.shellExecutes[0].parent, dialogSeen);
    QCOMPARE(platform.shellExecutes[0].address, QStringLiteral("http://www.quillbay.example/"));
    QCOMPARE(platform.shellExecutes[0].workingDirectory, QStringLiteral("c:\\"));
    QCOMPARE(platform.shellExecutes[0].showCommand, 1);
}

void TestAbout::linkShowsHand()
{
    FakePlatform platform;
    QWidget mainWindow;
    frmabout about(platform, &mainWindow);
    about.show();
    auto* link = about.findChild<QLabel*>("lblurl");
    QCOMPARE(link->cursor().shape(), Qt::ArrowCursor);

    QMouseEvent move(QEvent::MouseMove, QPointF(3, 3), link->mapToGlobal(QPointF(3, 3)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(link, &move);

    QCOMPARE(link->cursor().shape(), Qt::BitmapCursor);
    QCOMPARE(link->cursor().pixmap().size(), QSize(32, 32));
    QCOMPARE(link->cursor().hotSpot(), QPoint(12, 2));
}

// --- layout ------------------------------------------------------------------------------------
void TestAbout::textsFitTheWindow()
{
    FakePlatform platform;
    platform.year = 2099;
    QWidget mainWindow;
    frmabout about(platform, &mainWindow);
    QCOMPARE(about.size(), QSize(220, 293));

    for (QLabel* label : about.findChildren<QLabel*>()) {
        if (label->text().isEmpty())
            continue;
        const QSize needed = label->sizeHint();
        const QString name = label->objectName();
        QVERIFY2(needed.width() <= label->width(), qPrintable(name));
        QVERIFY2(needed.height() <= label->height(), qPrintable(name));
        QVERIFY2(label->x() + needed.width() <= about.width(), qPrintable(name));
    }
    auto* ok = about.findChild<QPushButton*>("cmdok");
    QVERIFY(QFontMetrics(ok->font()).horizontalAdvance(ok->text()) + 8 <= ok->width());
    QCOMPARE(about.focusWidget(), ok);
}

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
