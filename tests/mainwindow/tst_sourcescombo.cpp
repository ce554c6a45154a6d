// The sources list opened its quick way lands where the toolkit's own popup
// lands, as wide, as high, scrolled alike, with the same scroll arrows, also
// after the list changed.

#include "mainwindow/SourcesComboBox.h"
#include "sources/Sources.h"

#include <QtTest>
#include <QtWidgets>

using namespace anchorly;

namespace {

struct Popup {
    QRect place;
    int scrolled = 0;
    QList<bool> arrows;
};

Popup shown(QComboBox& combo)
{
    QWidget* const container = combo.view()->window();
    Popup popup{container->geometry(), combo.view()->verticalScrollBar()->value(), {}};
    for (const QWidget* child : container->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (qstrcmp(child->metaObject()->className(), "QComboBoxPrivateScroller") == 0)
            popup.arrows.append(child->isVisible());
    combo.hidePopup();
    return popup;
}

} // namespace

class tst_SourcesComboBox : public QObject {
    Q_OBJECT

private slots:
    void opensWhereTheToolkitWould_data()
    {
        QTest::addColumn<int>("current");
        QTest::addColumn<QPoint>("windowAt");
        QTest::addColumn<QString>("change");
        QTest::newRow("first name") << 0 << QPoint(0, 0) << "";
        QTest::newRow("middle name") << 700 << QPoint(0, 0) << "";
        QTest::newRow("last name") << 1499 << QPoint(0, 0) << "";
        QTest::newRow("at the screen's right edge") << 700 << QPoint(500, 300) << "";
        QTest::newRow("past the screen's left edge") << 10 << QPoint(-350, 0) << "";
        QTest::newRow("a wider name added") << 700 << QPoint(0, 0) << "add";
        QTest::newRow("the widest name removed") << 700 << QPoint(0, 0) << "remove";
        QTest::newRow("the widest name shortened") << 700 << QPoint(0, 0) << "shorten";
        QTest::newRow("read again") << 700 << QPoint(0, 0) << "reset";
    }
    void opensWhereTheToolkitWould()
    {
        QFETCH(int, current);
        QFETCH(QPoint, windowAt);
        QFETCH(QString, change);
        QWidget window;
        window.resize(607, 420);
        window.move(windowAt);
        SourcesComboBox combo(&window);
        combo.setGeometry(297, 94, 225, 21);
        QStringList names;
        for (int i = 0; i < 1500; ++i)
            names.append(QStringLiteral("%1 %2").arg(i, 4, 10, QLatin1Char('0')).arg(QString(i % 41, QLatin1Char('m'))));
        names[1200] += QString(60, QLatin1Char('W')); // the widest by far
        sources::addSorted(&combo, names);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(combo.widestNameWidth() > 0);

        auto* model = sources::sourcesModel(&combo);
        if (change == "add")
            sources::addSorted(&combo, {QStringLiteral("0001 a name wider than any name in the list")});
        else if (change == "remove")
            model->removeRows(1200, 1);
        else if (change == "shorten")
            model->setData(model->index(1200), QStringLiteral("1200"));
        else if (change == "reset")
            model->setStringList(names.mid(0, 1100));
        combo.setCurrentIndex(std::min(current, combo.count() - 1));

        combo.view()->scrollToTop();
        combo.QComboBox::showPopup();
        const Popup toolkit = shown(combo);
        combo.view()->scrollToBottom(); // as a list scrolled before
        combo.showPopup();
        const Popup quick = shown(combo);
        QVERIFY2(!toolkit.arrows.isEmpty(), "the style opens the list as a menu-like popup");
        QCOMPARE(quick.place, toolkit.place);
        QCOMPARE(quick.scrolled, toolkit.scrolled);
        QCOMPARE(quick.arrows, toolkit.arrows);
    }
};

QTEST_MAIN(tst_SourcesComboBox)
#include "tst_sourcescombo.moc"
