#pragma once

#include <QString>

namespace anchorly {

// Removes blanks from both ends of a text: the space character only; tabs
// and other characters stay, and so do blanks inside the text.
inline QString trimBlanks(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.mid(begin, end - begin);
}

} // namespace anchorly
