#include "composer/Composer.h"

namespace anchorly::composer {

QString urlPrompt()
{
    return QStringLiteral("Enter a URL please...") + QString(32, QLatin1Char(' '));
}

QString descriptionPrompt()
{
    return QStringLiteral("Enter a DESCRIPTION please...") + QString(25, QLatin1Char(' '));
}

QString sourcePrompt()
{
    return QStringLiteral("Enter a SOURCE please, or pick one from the list...");
}

QString allFilledMessage()
{
    return QStringLiteral("All entries are now filled (use any \"Clear\" - button to remove an entry).");
}

QString placeholder(int slot)
{
    return QStringLiteral("Entry") + QString::number(slot);
}

bool isFree(const QString& text, int slot)
{
    return text == placeholder(slot);
}

bool isFilled(const QString& text)
{
    return text.size() > 6;
}

int firstFreeSlot(const Slots& entries)
{
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        if (isFree(entries[slot - 1], slot))
            return slot;
    }
    return 0;
}

int filledCount(const Slots& entries)
{
    int count = 0;
    for (const QString& text : entries) {
        if (isFilled(text))
            ++count;
    }
    return count;
}

QString targetPiece(const QString& target)
{
    return QStringLiteral("\" target=\"") + target + QStringLiteral("\">");
}

QString composeAnchor(const QString& hrefPiece, const QString& url, const QString& targetPiece,
                      const QString& description, const QString& sourcePiece, const QString& source,
                      const QString& endTagPiece)
{
    return hrefPiece + trimBlanks(url) + targetPiece + trimBlanks(description) + sourcePiece + trimBlanks(source) +
           endTagPiece;
}

QString sReplace(const QString& SearchLine, const QString& SearchFor, const QString& ReplaceWith)
{
    if (SearchLine.isEmpty())
        return SearchLine;
    const qsizetype at = SearchLine.indexOf(SearchFor, 0, Qt::CaseSensitive);
    if (at < 0)
        return SearchLine;
    return SearchLine.left(at) + ReplaceWith + SearchLine.mid(at + SearchFor.size());
}

QString assembleHtmlSource(const Slots& entries)
{
    const QString lineBreak = QString::fromLatin1(kLineBreak);
    QString text = entries[0];
    for (int i = 1; i < kSlotCount; ++i)
        text += lineBreak + entries[i];
    // Each pass removes the first occurrence anywhere in the joined text, so a
    // placeholder word inside a filled slot above an empty one goes first.
    for (int slot = 1; slot <= kSlotCount; ++slot)
        text = sReplace(text, placeholder(slot), QString());
    return text;
}

namespace {

// A text as the box holds it once set: every character at which the box
// starts a new line becomes its line separator.
QString asBoxText(QString text)
{
    text.replace(QString::fromLatin1(kLineBreak), QChar(QChar::ParagraphSeparator));
    for (const char16_t breaking : {u'\r', u'\n', u'\xFDD0', u'\xFDD1'})
        text.replace(QChar(breaking), QChar(QChar::ParagraphSeparator));
    return text;
}

} // namespace

QString copiedHtmlSource(const QString& boxText, const QString& assembled)
{
    if (boxText == asBoxText(assembled))
        return assembled;
    return QString(boxText).replace(QChar(QChar::ParagraphSeparator), QString::fromLatin1(kLineBreak));
}

} // namespace anchorly::composer
