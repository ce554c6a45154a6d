// The composer's string rules and its texts to the character.

#include "composer/Composer.h"
#include "composer/DroppedLink.h"

#include <QMimeData>
#include <QTest>

using namespace anchorly;

class TestComposer : public QObject {
    Q_OBJECT

private slots:
    // The composer's own rules and texts: the first occurrence replaced, case
    // and all; the placeholders removed from the joined slots in turn, a
    // filled slot's word first; blanks trimmed, tabs kept; a slot filled
    // beyond six characters.
    void composerRules()
    {
        using namespace composer;
        QCOMPARE(sReplace("abcabc", "b", "x") + '|' + sReplace("abc", "B", "x") + '|' + sReplace("abc", "", "x") + '|' +
                     sReplace("", "", "x"),
                 "axcabc|abc|xabc|");
        QCOMPARE(assembleHtmlSource({"Entry1 x Entry2", "Entry2", "entry3", "Entry4", "Entry5"}),
                 " x \r\nEntry2\r\nentry3\r\n\r\n");
        QCOMPARE(trimBlanks(" \ta b\t "), "\ta b\t");
        // The copy: the slots while the box shows them, else the box as edited by hand, with CR LF line ends.
        QCOMPARE(copiedHtmlSource("a\u2029b", "a\r\nb") + '|' + copiedHtmlSource("x\u2029b", "a\r\nb"),
                 "a\r\nb|x\r\nb");
        QVERIFY(isFilled("1234567") && !isFilled("123456"));
        QCOMPARE(
            QStringList({urlPrompt(), descriptionPrompt(), sourcePrompt(), allFilledMessage()}),
            QStringList({"Enter a URL please..." + QString(32, ' '), "Enter a DESCRIPTION please..." + QString(25, ' '),
                         "Enter a SOURCE please, or pick one from the list...",
                         "All entries are now filled (use any \"Clear\" - button to remove an entry)."}));
    }

    // A drag from a browser: the formats in their order of precedence, the
    // first address of a list, a link's text without tags and entities, and
    // plain text only when it looks like one address.
    void droppedLink_data()
    {
        QTest::addColumn<QStringList>("formats"); // format, content, ...; text/x-moz-url is sent in UTF-16
        QTest::addColumn<QString>("link");        // address|text, or "none"
        const QString html = "<meta charset=\"utf-8\"><a class=x\nHREF='https://b.example/?a=1&amp;b=2'>Tides &amp; "
                             "<b>harbours</b>&#x21;\n  now&nbsp;&#8364;</a> <a href=\"https://other.example\">2</a>";
        QTest::newRow("moz-url") << QStringList{"text/x-moz-url", "https://a.example/?y&z\n Page  title \n",
                                                "text/plain", "www.p"}
                                 << "https://a.example/?y&z|Page title";
        QTest::newRow("html") << QStringList{"text/html", html, "text/uri-list", "https://u.example"}
                              << "https://b.example/?a=1&b=2|Tides & harbours! now \u20AC";
        QTest::newRow("uri-list") << QStringList{"text/html", "<p>no link</p>", "text/uri-list",
                                                 "# a comment\r\n\r\nhttps://c.example/page\r\nhttps://d.example/\r\n"}
                                  << "https://c.example/page|";
        QTest::newRow("plain") << QStringList{"text/plain", "  www.f.example/x\n"} << "www.f.example/x|";
        QTest::newRow("plain words") << QStringList{"text/plain", "https://e.example/a b", "other/x", "www.g"}
                                     << "none";
    }
    void droppedLink()
    {
        QFETCH(QStringList, formats);
        QFETCH(QString, link);
        QMimeData data;
        for (int i = 0; i + 1 < formats.size(); i += 2) {
            const QString& content = formats[i + 1];
            data.setData(formats[i],
                         formats[i] != "text/x-moz-url"
                             ? content.toUtf8()
                             : QByteArray(reinterpret_cast<const char*>(content.utf16()), content.size() * 2));
        }
        const auto got = composer::droppedLink(data);
        QCOMPARE(got ? got->address + '|' + got->text : QString("none"), link);
    }
};

QTEST_APPLESS_MAIN(TestComposer)
#include "tst_composer.moc"
