#include "composer/Composer.h"

#include <QTest>

using namespace anchorly::composer;

namespace {

const QString S1 = QStringLiteral("<a href=\"a\" target=\"_blank\">one - x</a><br>");
const QString S2 = QStringLiteral("<a href=\"b\" target=\"_top\">two - y</a><br>");
const QString S3 = QStringLiteral("<a href=\"c\" target=\"_self\">three - z</a><br>");
const QString S4 = QStringLiteral("<a href=\"d\" target=\"_blank\">four - w</a><br>");
const QString S5 = QStringLiteral("<a href=\"e\" target=\"_parent\">five - v</a><br>");

Slots emptySlots()
{
    return {placeholder(1), placeholder(2), placeholder(3), placeholder(4), placeholder(5)};
}

QString lines(const QStringList& five)
{
    return five.join(QStringLiteral("\r\n"));
}

} // namespace

class TestComposer : public QObject {
    Q_OBJECT

private slots:
    // --- the messages, to the character ---
    void messagesAreExact()
    {
        QCOMPARE(urlPrompt().size(), 53);
        QVERIFY(urlPrompt().startsWith(QStringLiteral("Enter a URL please...   ")));
        QCOMPARE(descriptionPrompt().size(), 54);
        QVERIFY(descriptionPrompt().startsWith(QStringLiteral("Enter a DESCRIPTION please... ")));
        QCOMPARE(descriptionPrompt().trimmed(), QStringLiteral("Enter a DESCRIPTION please..."));
        QCOMPARE(sourcePrompt().size(), 51);
        QCOMPARE(allFilledMessage().size(), 73);
        QCOMPARE(allFilledMessage(),
                 QStringLiteral("All entries are now filled (use any \"Clear\" - button to remove an entry)."));
        QCOMPARE(QString::fromLatin1(kCheckTitle), QStringLiteral("Heho..."));
    }

    // --- composition ---
    void composeAnchor_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("anchor");

        QTest::newRow("worked example") << "page.html" << "abc" << "xyz" << "_blank"
                                        << "<a href=\"page.html\" target=\"_blank\">abc - xyz</a><br>";
        QTest::newRow("blanks trimmed, inner kept") << "  a b  " << " c d " << "  e" << "_top"
                                                    << "<a href=\"a b\" target=\"_top\">c d - e</a><br>";
        QTest::newRow("blank-only url gives empty piece") << "   " << "d" << "s" << "_blank"
                                                          << "<a href=\"\" target=\"_blank\">d - s</a><br>";
        QTest::newRow("tabs at the ends stay") << "\turl\t" << "\td" << "s\t" << "_self"
                                               << "<a href=\"\turl\t\" target=\"_self\">\td - s\t</a><br>";
        QTest::newRow("empty source") << "u" << "d" << "" << "_parent"
                                      << "<a href=\"u\" target=\"_parent\">d - </a><br>";
        QTest::newRow("nothing escaped") << "a?b=1&c=\"2\"" << "<b>x</b>" << "A & B" << "_blank"
                                         << "<a href=\"a?b=1&c=\"2\"\" target=\"_blank\"><b>x</b> - A & B</a><br>";
    }
    void composeAnchor()
    {
        QFETCH(QString, url);
        QFETCH(QString, description);
        QFETCH(QString, source);
        QFETCH(QString, target);
        QFETCH(QString, anchor);
        const QString result = anchorly::composer::composeAnchor(
            QString::fromLatin1(kHrefPiece), url, targetPiece(target), description,
            QString::fromLatin1(kSourcePiece), source, QString::fromLatin1(kEndTagPiece));
        QCOMPARE(result, anchor);
    }

    void targetPieces()
    {
        const int lengths[] = {18, 19, 17, 16};
        for (size_t i = 0; i < kTargets.size(); ++i) {
            const QString piece = targetPiece(QString::fromLatin1(kTargets[i]));
            QCOMPARE(piece.size(), lengths[i]);
            QVERIFY(piece.startsWith(QStringLiteral("\" target=\"")));
            QVERIFY(piece.endsWith(QStringLiteral("\">")));
        }
    }

    // --- slots ---
    void slotTests()
    {
        QVERIFY(isFree(QStringLiteral("Entry3"), 3));
        QVERIFY(!isFree(QStringLiteral("Entry3"), 2));
        QVERIFY(!isFree(QStringLiteral("entry3"), 3));
        QVERIFY(!isFilled(QStringLiteral("Entry3")));
        QVERIFY(isFilled(QStringLiteral("1234567")));
        // Neither free nor filled: such a slot is skipped and not counted.
        QVERIFY(!isFree(QStringLiteral("Entry"), 1) && !isFilled(QStringLiteral("Entry")));
    }

    void firstFreeSkipsGaps()
    {
        Slots entries = emptySlots();
        entries[0] = S1;
        entries[2] = S3;
        QCOMPARE(firstFreeSlot(entries), 2);
        entries[1] = S2;
        QCOMPARE(firstFreeSlot(entries), 4);
        entries[3] = S4;
        entries[4] = S5;
        QCOMPARE(firstFreeSlot(entries), 0);
        QCOMPARE(filledCount(entries), 5);
    }

    // --- assembly ---
    void assemble_data()
    {
        QTest::addColumn<QStringList>("slotTexts");
        QTest::addColumn<QString>("expected");
        const QString e1 = placeholder(1), e2 = placeholder(2), e3 = placeholder(3), e4 = placeholder(4),
                      e5 = placeholder(5);

        QTest::newRow("none") << QStringList{e1, e2, e3, e4, e5} << QStringLiteral("\r\n\r\n\r\n\r\n");
        QTest::newRow("1") << QStringList{S1, e2, e3, e4, e5} << lines({S1, "", "", "", ""});
        QTest::newRow("2") << QStringList{e1, S2, e3, e4, e5} << lines({"", S2, "", "", ""});
        QTest::newRow("1 and 3") << QStringList{S1, e2, S3, e4, e5} << lines({S1, "", S3, "", ""});
        QTest::newRow("5") << QStringList{e1, e2, e3, e4, S5} << lines({"", "", "", "", S5});
        QTest::newRow("all five") << QStringList{S1, S2, S3, S4, S5} << lines({S1, S2, S3, S4, S5});

        const QString mentionsEntry2 = QStringLiteral("<a href=\"u\" target=\"_blank\">see Entry2 - s</a><br>");
        QTest::newRow("another slot's word is taken from above")
            << QStringList{mentionsEntry2, e2, e3, e4, e5}
            << lines({QStringLiteral("<a href=\"u\" target=\"_blank\">see  - s</a><br>"), e2, "", "", ""});
        const QString mentionsEntry1 = QStringLiteral("<a href=\"u\" target=\"_blank\">Entry1 - s</a><br>");
        QTest::newRow("own word is removed from the line")
            << QStringList{mentionsEntry1, e2, e3, e4, e5}
            << lines({QStringLiteral("<a href=\"u\" target=\"_blank\"> - s</a><br>"), "", "", "", ""});
        const QString lowerCase = QStringLiteral("<a href=\"u\" target=\"_blank\">entry2 - s</a><br>");
        QTest::newRow("case-sensitive") << QStringList{lowerCase, e2, e3, e4, e5}
                                        << lines({lowerCase, "", "", "", ""});
    }
    void assemble()
    {
        QFETCH(QStringList, slotTexts);
        QFETCH(QString, expected);
        Slots entries;
        for (int i = 0; i < kSlotCount; ++i)
            entries[i] = slotTexts[i];
        QCOMPARE(assembleHtmlSource(entries), expected);
    }

    // --- sReplace ---
    void replace_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("searchFor");
        QTest::addColumn<QString>("replaceWith");
        QTest::addColumn<QString>("result");
        QTest::newRow("first only") << "abcabc" << "b" << "x" << "axcabc";
        QTest::newRow("remove first") << "abcabc" << "abc" << "" << "abc";
        QTest::newRow("whole") << "abc" << "abc" << "xy" << "xy";
        QTest::newRow("at the end") << "abc" << "bc" << "" << "a";
        QTest::newRow("no match") << "abc" << "z" << "x" << "abc";
        QTest::newRow("empty search") << "abc" << "" << "x" << "xabc";
        QTest::newRow("empty line") << "" << "a" << "x" << "";
        QTest::newRow("case-sensitive") << "ABC" << "b" << "x" << "ABC";
    }
    void replace()
    {
        QFETCH(QString, line);
        QFETCH(QString, searchFor);
        QFETCH(QString, replaceWith);
        QFETCH(QString, result);
        QCOMPARE(sReplace(line, searchFor, replaceWith), result);
    }

    // A placeholder far beyond a 16-bit position is still found and removed.
    void replaceBeyond32767()
    {
        const QString longText = QString(40000, QLatin1Char('a')) + QStringLiteral("Entry4") + QStringLiteral("b");
        QCOMPARE(sReplace(longText, QStringLiteral("Entry4"), QString()),
                 QString(40000, QLatin1Char('a')) + QStringLiteral("b"));
    }
};

QTEST_GUILESS_MAIN(TestComposer)
#include "tst_composer.moc"
