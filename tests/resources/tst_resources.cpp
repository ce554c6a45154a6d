#include "resources/Resources.h"

#include <QtTest>

class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void windowIconHasSize_data();
    void windowIconHasSize();
    void handPictureIsTransparentAroundTheHand();
};

// The window manager picks the 16 pixel rendering for title bars and the 32
// pixel one for the task switcher; a missing size would be scaled and blurred.
void TestResources::windowIconHasSize_data()
{
    QTest::addColumn<int>("size");
    QTest::newRow("title bar") << 16;
    QTest::newRow("task switcher") << 32;
    QTest::newRow("launcher") << 48;
}

void TestResources::windowIconHasSize()
{
    QFETCH(int, size);
    const QIcon icon = anchorly::resources::windowIcon();
    QVERIFY2(icon.availableSizes().contains(QSize(size, size)),
             qPrintable(QStringLiteral("no %1 px rendering in the window icon").arg(size)));
    const QImage image = icon.pixmap(QSize(size, size)).toImage();
    QCOMPARE(image.size(), QSize(size, size));
    // The tile is opaque in its middle: a picture that failed to load would be empty.
    QCOMPARE(qAlpha(image.pixel(size / 2, size / 2)), 255);
}

void TestResources::handPictureIsTransparentAroundTheHand()
{
    const QImage hand = anchorly::resources::handPicture().toImage();
    QVERIFY(!hand.isNull());
    QCOMPARE(hand.size(), QSize(32, 32));
    QVERIFY(hand.hasAlphaChannel());
    QCOMPARE(qAlpha(hand.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(hand.pixel(31, 0)), 0);
    // The fingertip, the cursor's hot spot, is drawn.
    QVERIFY(qAlpha(hand.pixel(12, 3)) > 0);
}

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
