// The about window: what it shows, how it closes, and what the link does.

#include "about/frmabout.h"
#include "fakes/FakePlatform.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace anchorly;

class TestAbout : public QObject {
    Q_OBJECT
private slots:
    void showsVersionAndYear();
    void closing_data();
    void closing();
    void linkShowsHand();
};

void TestAbout::showsVersionAndYear()
{
    test::FakePlatform platform;
    platform.year = 2099; // the year comes from the clock, not from the program
    QWidget mainWindow;
    frmabout about(platform, &mainWindow);
    const auto text = [&](const char* name) { return about.findChild<QLabel*>(name)->text(); };

    QCOMPARE(text("lblprogtitle"), QStringLiteral("Anchorly"));
    QCOMPARE(text("lblversion"), QStringLiteral("Version 1.0.3"));
    QCOMPARE(text("lblcopyright"), QStringLiteral("Copyright \u00A9 2002 - 2099"));
    QCOMPARE(text("lblurl"), QStringLiteral("http://www.quillbay.example/"));

    // The stand-in font must not cut any text off, inside its label and the window.
    QCOMPARE(about.size(), QSize(220, 293));
    for (QLabel* label : about.findChildren<QLabel*>()) {
        const QSize needed = label->text().isEmpty() ? QSize() : label->sizeHint();
        QVERIFY2(needed.width() <= label->width() && needed.height() <= label->height(),
                 qPrintable(label->objectName()));
        QVERIFY2(label->x() + needed.width() <= about.width(), qPrintable(label->objectName()));
    }
}

void TestAbout::closing_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("closes");
    QTest::newRow("Enter right after opening") << "enter" << true;
    QTest::newRow("Esc does nothing") << "escape" << false;
    QTest::newRow("close box") << "closebox" << true;
    QTest::newRow("the link") << "link" << true;
}

void TestAbout::closing()
{
    QFETCH(QString, how);
    QFETCH(bool, closes);
    test::FakePlatform platform;
    QWidget mainWindow;
    mainWindow.show();
    QPointer<frmabout> about = new frmabout(platform, &mainWindow);

    bool openAfterwards = true;
    QObject context;
    QTimer::singleShot(0, &context, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        QVERIFY(dialog == about);
        if (how == "closebox")
            dialog->close();
        else if (how == "link")
            QTest::mouseClick(dialog->findChild<QLabel*>("lblurl"), Qt::LeftButton, {}, QPoint(4, 4));
        else { // the keys go to "&Ok", which has the focus when the window opens
            QCOMPARE(dialog->focusWidget(), dialog->findChild<QPushButton*>("cmdok"));
            QTest::keyClick(dialog->focusWidget(), how == "enter" ? Qt::Key_Return : Qt::Key_Escape);
        }
        openAfterwards = dialog->isVisible();
        if (openAfterwards)
            dialog->findChild<QPushButton*>("cmdok")->click();
    });
    QWidget* const dialog = about;
    about->exec();

    QCOMPARE(openAfterwards, !closes);
    QTRY_VERIFY(about.isNull()); // each opening builds a new window
    QCOMPARE(mainWindow.isMinimized(), how == "link");
    QCOMPARE(platform.shellExecutes.size(), size_t(how == "link" ? 1 : 0));
    if (how == "link") {
        QCOMPARE(platform.shellExecutes[0].parent, dialog);
        QCOMPARE(platform.shellExecutes[0].address, QStringLiteral("http://www.quillbay.example/"));
        QCOMPARE(platform.shellExecutes[0].workingDirectory, QStringLiteral("c:\\"));
        QCOMPARE(platform.shellExecutes[0].showCommand, 1);
    }
}

void TestAbout::linkShowsHand()
{
    test::FakePlatform platform;
    QWidget mainWindow;
    frmabout about(platform, &mainWindow);
    auto* link = about.findChild<QLabel*>("lblurl");
    QCOMPARE(link->cursor().shape(), Qt::ArrowCursor);

    QMouseEvent move(QEvent::MouseMove, QPointF(3, 3), link->mapToGlobal(QPointF(3, 3)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(link, &move);

    QCOMPARE(link->cursor().shape(), Qt::BitmapCursor);
    QCOMPARE(link->cursor().pixmap().size(), QSize(32, 32));
    QCOMPARE(link->cursor().hotSpot(), QPoint(12, 2)); // the fingertip
}

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
