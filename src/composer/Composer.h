#pragma once

// The link composer's rules on plain texts: the entry entries' placeholders
// and tests, the anchor's composition, the target piece, and the HTML
// source assembled from the five entries.

#include "platform/Text.h"

#include <QString>
#include <array>

namespace anchorly::composer {

inline constexpr int kSlotCount = 5;
using Slots = std::array<QString, kSlotCount>;

// The line break of the HTML source box and of everything the tool writes.
inline constexpr char kLineBreak[] = "\r\n";

// The fixed pieces of the anchor, as the template row shows them.
inline constexpr char kHrefPiece[] = "<a href=\"";
inline constexpr char kSourcePiece[] = " - ";
inline constexpr char kEndTagPiece[] = "</a><br>";

// The targets offered in the target list, in list order.
inline constexpr std::array<const char*, 4> kTargets = {"_blank", "_parent", "_self", "_top"};

// The messages of the add command's checks.
QString urlPrompt();         // "Enter a URL please..." and 32 blanks
QString descriptionPrompt(); // "Enter a DESCRIPTION please..." and 25 blanks
QString sourcePrompt();      // "Enter a SOURCE please, or pick one from the list..."
inline constexpr char kCheckTitle[] = "Heho...";
QString allFilledMessage(); // the info line once the fifth slot is filled

// "Entry1" to "Entry5" for entries 1 to 5.
QString placeholder(int slot);

// A slot is free when it holds exactly its placeholder; it counts as filled
// when its text is longer than six characters. A text can be neither.
bool isFree(const QString& text, int slot);
bool isFilled(const QString& text);

// The first free slot (1 to 5), or 0 when none is free.
int firstFreeSlot(const Slots& entries);
int filledCount(const Slots& entries);

// Trimming removes the space character only (platform/Text.h).
using anchorly::trimBlanks;

// The target piece for a target: `" target="`, the target, `">`.
QString targetPiece(const QString& target);

// One anchor: the pieces joined with the three inputs trimmed between them.
QString composeAnchor(const QString& hrefPiece, const QString& url, const QString& targetPiece,
                      const QString& description, const QString& sourcePiece, const QString& source,
                      const QString& endTagPiece);

// Replaces the first occurrence of searchFor in searchLine (exact,
// case-sensitive) with replaceWith. Works on texts of any length.
QString sReplace(const QString& SearchLine, const QString& SearchFor, const QString& ReplaceWith);

// The HTML source box's text: the five entries joined by line breaks, then
// the first occurrence of each placeholder, "Entry1" to "Entry5" in turn,
// removed from the joined text.
QString assembleHtmlSource(const Slots& entries);

// What the copy puts on the clipboard: the text the HTML source box holds,
// its lines joined by CR LF. boxText is the box's raw text: lines separated
// by U+2029, every other character (no-break space, U+2028) as it is. While
// the box still shows the assembled source, that source is copied as it
// stands, since the box turns some characters of it into line breaks of
// its own (U+2029, a CR or LF inside an anchor); once the user has edited
// the box, its lines are copied.
QString copiedHtmlSource(const QString& boxText, const QString& assembled);

} // namespace anchorly::composer
