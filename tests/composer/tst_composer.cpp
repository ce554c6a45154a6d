// The composer's string rules: the messages, the anchor, the slots, the
// assembled source and sReplace.

#include "composer/Composer.h"

#include <QTest>

using namespace anchorly::composer;

namespace {

// A filled slot's text: anything longer than a placeholder.
QString anchor(int n)
{
    return QStringLiteral("<a href=\"%1\" target=\"_top\">d - s</a><br>").arg(n);
}

} // namespace

class TestComposer : public QObject {
    Q_OBJECT

private slots:
    // Every message to the character, trailing blanks included.
    void messages()
    {
        QCOMPARE(urlPrompt(), QStringLiteral("Enter a URL please...") + QString(32, QLatin1Char(' ')));
        QCOMPARE(descriptionPrompt(), QStringLiteral("Enter a DESCRIPTION please...") + QString(25, QLatin1Char(' ')));
        QCOMPARE(sourcePrompt(), QStringLiteral("Enter a SOURCE please, or pick one from the list..."));
        QCOMPARE(allFilledMessage(),
                 QStringLiteral("All entries are now filled (use any \"Clear\" - button to remove an entry)."));
        QCOMPARE(QString::fromLatin1(kCheckTitle), QStringLiteral("Heho..."));
        QCOMPARE(targetPiece(QStringLiteral("_parent")), QStringLiteral("\" target=\"_parent\">"));
    }

    void composeAnchor_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("anchor");
        const auto row = [](const char* name, const char* u, const char* d, const char* s, const char* t,
                            const char* a) { QTest::newRow(name) << u << d << s << t << a; };
        // The worked example: 53 characters.
        row("worked example", "page.html", "abc", "xyz", "_blank",
            "<a href=\"page.html\" target=\"_blank\">abc - xyz</a><br>");
        row("blanks trimmed, inner kept", "  a b  ", " c d ", "  e", "_top",
            "<a href=\"a b\" target=\"_top\">c d - e</a><br>");
        row("blank-only url", "   ", "d", "s", "_blank", "<a href=\"\" target=\"_blank\">d - s</a><br>");
        row("tabs at the ends stay", "\turl\t", "\td", "s\t", "_self",
            "<a href=\"\turl\t\" target=\"_self\">\td - s\t</a><br>");
        row("empty source", "u", "d", "", "_parent", "<a href=\"u\" target=\"_parent\">d - </a><br>");
        row("nothing escaped", "a?b=1&c=\"2\"", "<b>x</b>", "A & B", "_blank",
            "<a href=\"a?b=1&c=\"2\"\" target=\"_blank\"><b>x</b> - A & B</a><br>");
    }
    void composeAnchor()
    {
        QFETCH(QString, url);
        QFETCH(QString, description);
        QFETCH(QString, source);
        QFETCH(QString, target);
        QFETCH(QString, anchor);
        QCOMPARE(anchorly::composer::composeAnchor(QString::fromLatin1(kHrefPiece), url, targetPiece(target),
                                                   description, QString::fromLatin1(kSourcePiece), source,
                                                   QString::fromLatin1(kEndTagPiece)),
                 anchor);
    }

    // The first free slot in order, gaps first; a slot that is neither free
    // nor filled (a wrong placeholder) is skipped and not counted.
    void slotOrder()
    {
        QVERIFY(!isFree(QStringLiteral("Entry3"), 2) && !isFree(QStringLiteral("entry3"), 3));
        Slots entries = {anchor(1), placeholder(2), anchor(3), QStringLiteral("Entry"), placeholder(5)};
        QCOMPARE(firstFreeSlot(entries), 2);
        entries[1] = anchor(2);
        QCOMPARE(firstFreeSlot(entries), 5);
        entries[4] = anchor(5);
        QCOMPARE(firstFreeSlot(entries), 0);
        QCOMPARE(filledCount(entries), 4);
    }

    void assemble_data()
    {
        QTest::addColumn<QStringList>("slotTexts");
        QTest::addColumn<QStringList>("expected"); // the lines joined by CR LF
        const QString e1 = placeholder(1), e2 = placeholder(2), e3 = placeholder(3), e4 = placeholder(4),
                      e5 = placeholder(5), a1 = anchor(1), a3 = anchor(3), a5 = anchor(5);
        QTest::newRow("none") << QStringList{e1, e2, e3, e4, e5} << QStringList{"", "", "", "", ""};
        QTest::newRow("1 and 3") << QStringList{a1, e2, a3, e4, e5} << QStringList{a1, "", a3, "", ""};
        QTest::newRow("5 only") << QStringList{e1, e2, e3, e4, a5} << QStringList{"", "", "", "", a5};
        QTest::newRow("all five") << QStringList{a1, a1, a3, a5, a5} << QStringList{a1, a1, a3, a5, a5};
        // A description holding a slot's placeholder word: the first
        // occurrence goes, whichever slot is being cleared, and the later
        // slot keeps its own placeholder.
        const QString mentions2 = QStringLiteral("<a href=\"u\" target=\"_blank\">see Entry2 - s</a><br>");
        QTest::newRow("another slot's word")
            << QStringList{mentions2, e2, e3, e4, e5}
            << QStringList{QStringLiteral("<a href=\"u\" target=\"_blank\">see  - s</a><br>"), e2, "", "", ""};
        const QString lower = QStringLiteral("<a href=\"u\" target=\"_blank\">entry2 Entry1 - s</a><br>");
        QTest::newRow("own word, case-sensitive")
            << QStringList{lower, e2, e3, e4, e5}
            << QStringList{QStringLiteral("<a href=\"u\" target=\"_blank\">entry2  - s</a><br>"), "", "", "", ""};
    }
    void assemble()
    {
        QFETCH(QStringList, slotTexts);
        QFETCH(QStringList, expected);
        Slots entries;
        std::copy(slotTexts.begin(), slotTexts.end(), entries.begin());
        QCOMPARE(assembleHtmlSource(entries), expected.join(QStringLiteral("\r\n")));
    }

    void replace_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("searchFor");
        QTest::addColumn<QString>("replaceWith");
        QTest::addColumn<QString>("result");
        QTest::newRow("first only") << "abcabc"
                                    << "b"
                                    << "x"
                                    << "axcabc";
        QTest::newRow("remove first") << "abcabc"
                                      << "abc"
                                      << ""
                                      << "abc";
        QTest::newRow("whole") << "abc"
                               << "abc"
                               << "xy"
                               << "xy";
        QTest::newRow("at the end") << "abc"
                                    << "bc"
                                    << ""
                                    << "a";
        QTest::newRow("no match") << "abc"
                                  << "z"
                                  << "x"
                                  << "abc";
        QTest::newRow("empty search") << "abc"
                                      << ""
                                      << "x"
                                      << "xabc";
        QTest::newRow("empty line") << ""
                                    << "a"
                                    << "x"
                                    << "";
        QTest::newRow("case-sensitive") << "ABC"
                                        << "b"
                                        << "x"
                                        << "ABC";
        const QString a40000(40000, QLatin1Char('a')); // beyond a 16-bit position
        QTest::newRow("far in") << a40000 + "Entry4b"
                                << "Entry4"
                                << "" << a40000 + "b";
    }
    void replace()
    {
        QFETCH(QString, line);
        QFETCH(QString, searchFor);
        QFETCH(QString, replaceWith);
        QFETCH(QString, result);
        QCOMPARE(sReplace(line, searchFor, replaceWith), result);
    }
};

QTEST_GUILESS_MAIN(TestComposer)
#include "tst_composer.moc"
