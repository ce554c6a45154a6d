#include "resources/Resources.h"

#include <QtTest>

class TestResources : public QObject {
    Q_OBJECT

private slots:
    // The window manager picks the 16 pixel rendering for title bars and the
    // 32 pixel one for the task switcher; a missing size would be scaled and
    // blurred. Each tile is opaque in its middle: a picture that failed to
    // load would be empty.
    void windowIconSizes()
    {
        const QIcon icon = anchorly::resources::windowIcon();
        for (int size : {16, 32, 48}) {
            QVERIFY2(icon.availableSizes().contains(QSize(size, size)), qPrintable(QString::number(size)));
            QCOMPARE(qAlpha(icon.pixmap(QSize(size, size)).toImage().pixel(size / 2, size / 2)), 255);
        }
    }

    // Transparent around the hand; the fingertip, the cursor's hot spot, is drawn.
    void handPicture()
    {
        const QImage hand = anchorly::resources::handPicture().toImage();
        QCOMPARE(hand.size(), QSize(32, 32));
        QVERIFY(qAlpha(hand.pixel(0, 0)) == 0 && qAlpha(hand.pixel(31, 0)) == 0 && qAlpha(hand.pixel(12, 3)) > 0);
    }
};

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
