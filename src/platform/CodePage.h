#pragma once

// Text in the 8-bit form that files and settings carried over from Windows
// hold: the Western code page, Windows-1252, told apart from UTF-8. Every
// byte has a character and every character read converts back to its byte,
// so a text read this way and written back gives the bytes it came from.
// Header-only: the settings catalogue uses it without the desktop code.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>
#include <algorithm>
#include <array>
#include <optional>

namespace anchorly {

// The characters of the bytes 0x80 to 0x9F. The five bytes the code page
// leaves undefined stand for the control characters of the same number.
inline constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

inline QString fromWindows1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char byte : bytes) {
        const auto code = static_cast<unsigned char>(byte);
        *out++ = QChar(code >= 0x80 && code < 0xA0 ? kWindows1252High[code - 0x80] : char16_t(code));
    }
    return text;
}

// The text in Windows-1252; nullopt when a character has no byte there.
inline std::optional<QByteArray> toWindows1252(QStringView text)
{
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char* out = bytes.data();
    for (const QChar character : text) {
        const char16_t code = character.unicode();
        if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
            *out++ = char(code);
            continue;
        }
        const auto* at = std::find(kWindows1252High.begin(), kWindows1252High.end(), code);
        if (at == kWindows1252High.end())
            return std::nullopt;
        *out++ = char(0x80 + (at - kWindows1252High.begin()));
    }
    return bytes;
}

// The bytes as UTF-8, when they are UTF-8 that converts back to exactly
// these bytes; a leading byte-order mark stays in the text as U+FEFF.
inline std::optional<QString> fromExactUtf8(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    QString text = decoder(bytes);
    if (decoder.hasError() || text.toUtf8() != bytes)
        return std::nullopt;
    return text;
}

// UTF-8 when the bytes are UTF-8, else Windows-1252: readable either way,
// and never a replacement character that was not in the bytes.
inline QString fromUtf8OrWindows1252(QByteArrayView bytes)
{
    if (auto text = fromExactUtf8(bytes))
        return *std::move(text);
    return fromWindows1252(bytes);
}

} // namespace anchorly
