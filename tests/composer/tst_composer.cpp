// The composer's string rules and its texts to the character.

#include "composer/Composer.h"

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
};

QTEST_APPLESS_MAIN(TestComposer)
#include "tst_composer.moc"
