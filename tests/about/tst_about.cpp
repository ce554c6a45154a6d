// The about window: its texts, and each way of leaving it. Whether its
// captions fit is checked with the other windows (tests/mainwindow).

#include "about/frmabout.h"
#include "fakes/FakePlatform.h"

#include <QLabel>
#include <QPointer>
#include <QTest>
#include <QTimer>

using namespace anchorly;

class TestAbout : public QObject {
    Q_OBJECT
private slots:
    void texts()
    {
        test::FakePlatform platform;
        platform.year = 2099; // the year comes from the clock, not from the program
        frmabout about(platform, nullptr);
        QCOMPARE(about.findChild<QLabel*>("lblversion")->text(), QStringLiteral("Version 1.0.3"));
        QCOMPARE(about.findChild<QLabel*>("lblcopyright")->text(), QStringLiteral("Copyright \u00A9 2002 - 2099"));
        // The fonts it asks for, whatever the system then finds for them.
        const QFont title = about.findChild<QLabel*>("lblprogtitle")->font(),
                    version = about.findChild<QLabel*>("lblversion")->font();
        QCOMPARE(QString::asprintf("%s %g %g %d %g", qPrintable(title.family()), title.pointSizeF(),
                                   version.pointSizeF(), version.bold() && !title.bold(), about.font().pointSizeF()),
                 "Liberation Sans 13.5 9.75 1 8");
    }

    void closing_data()
    {
        QTest::addColumn<QString>("how"); // all but Esc close the window
        // Enter right after opening, Esc (which does nothing), the close box, the link
        for (const char* how : {"enter", "escape", "closebox", "link"})
            QTest::newRow(how) << QString(how);
    }
    void closing()
    {
        QFETCH(QString, how);
        test::FakePlatform platform;
        QWidget mainWindow;
        QPointer<frmabout> about = new frmabout(platform, &mainWindow);
        frmabout* const opened = about;

        // Inside the modal loop the test only acts and takes notes, and the
        // window always closes, so that a failing check ends the test at once
        // instead of leaving the loop waiting for ever.
        QString focused;
        bool openAfterwards = true;
        QTimer::singleShot(0, opened, [&] {
            focused = opened->focusWidget()->objectName();
            if (how == "closebox")
                opened->close();
            else if (how == "link")
                QTest::mouseClick(opened->findChild<QLabel*>("lblurl"), Qt::LeftButton, {}, QPoint(4, 4));
            else
                QTest::keyClick(opened->focusWidget(), how == "enter" ? Qt::Key_Return : Qt::Key_Escape);
            openAfterwards = opened->isVisible();
            opened->done(0);
        });
        opened->exec();

        QCOMPARE(focused, QStringLiteral("cmdok"));
        QCOMPARE(openAfterwards, how == "escape");
        QTRY_VERIFY(about.isNull()); // each opening builds a new window
        QCOMPARE(mainWindow.isMinimized(), how == "link");
        // The about window opens the link over itself.
        QCOMPARE(platform.shellExecutes.join(' '), how == "link" ? "frmabout|http://www.quillbay.example/|c:\\|1" : "");
    }
};

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
