#include "composer/DroppedLink.h"

#include <QMimeData>
#include <QRegularExpression>
#include <QStringList>

namespace anchorly::composer {

namespace {

// The entities a browser writes into a link's markup: the five of XML, the
// non-breaking space and numeric references. Others stay as they stand.
QString decodeEntities(const QString& html)
{
    static const QRegularExpression entity(QStringLiteral("&(#[0-9]+|#[xX][0-9a-fA-F]+|amp|lt|gt|quot|apos|nbsp);"));
    QString text;
    qsizetype done = 0;
    for (auto it = entity.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        text += html.mid(done, match.capturedStart() - done);
        done = match.capturedEnd();
        const QString name = match.captured(1);
        if (name.startsWith(QLatin1Char('#'))) {
            bool ok = false;
            const uint code =
                name.at(1).toLower() == QLatin1Char('x') ? name.mid(2).toUInt(&ok, 16) : name.mid(1).toUInt(&ok, 10);
            if (ok && code > 0 && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF))
                text += QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1);
            else
                text += match.captured(0);
            continue;
        }
        static const QStringList names = {"amp", "lt", "gt", "quot", "apos", "nbsp"};
        text += QStringLiteral("&<>\"'\u00A0").at(names.indexOf(name));
    }
    return text + html.mid(done);
}

QString oneLine(const QString& text)
{
    return text.simplified();
}

std::optional<DroppedLink> fromMozUrl(const QByteArray& bytes)
{
    if (bytes.size() < 2)
        return std::nullopt;
    QString text = QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData()), bytes.size() / 2);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    const QStringList lines = text.split(QLatin1Char('\n'));
    const QString address = lines.value(0).trimmed();
    if (address.isEmpty())
        return std::nullopt;
    return DroppedLink{address, oneLine(lines.value(1))};
}

std::optional<DroppedLink> fromHtml(const QString& html)
{
    static const QRegularExpression anchor(
        QStringLiteral("<a\\s[^>]*?\\bhref\\s*=\\s*(?:\"([^\"]*)\"|'([^']*)'|([^\\s>]+))[^>]*>(.*?)</a\\s*>"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression tag(QStringLiteral("<[^>]*>"));
    const QRegularExpressionMatch match = anchor.match(html);
    if (!match.hasMatch())
        return std::nullopt;
    const QString href = match.captured(1) + match.captured(2) + match.captured(3);
    const QString address = decodeEntities(href).trimmed();
    if (address.isEmpty())
        return std::nullopt;
    return DroppedLink{address, oneLine(decodeEntities(QString(match.captured(4)).remove(tag)))};
}

std::optional<DroppedLink> fromUriList(const QByteArray& bytes)
{
    for (const QByteArray& line : bytes.split('\n')) {
        const QString address = QString::fromUtf8(line).trimmed();
        if (!address.isEmpty() && !address.startsWith(QLatin1Char('#')))
            return DroppedLink{address, {}};
    }
    return std::nullopt;
}

std::optional<DroppedLink> fromPlainText(const QString& text)
{
    static const QRegularExpression address(QStringLiteral("^(?:[A-Za-z][A-Za-z0-9+.-]*:|www\\.)\\S+$"));
    const QString line = text.trimmed();
    if (!address.match(line).hasMatch())
        return std::nullopt;
    return DroppedLink{line, {}};
}

} // namespace

std::optional<DroppedLink> droppedLink(const QMimeData& data)
{
    std::optional<DroppedLink> link;
    if (data.hasFormat(QStringLiteral("text/x-moz-url")))
        link = fromMozUrl(data.data(QStringLiteral("text/x-moz-url")));
    if (!link && data.hasHtml())
        link = fromHtml(data.html());
    if (!link && data.hasFormat(QStringLiteral("text/uri-list")))
        link = fromUriList(data.data(QStringLiteral("text/uri-list")));
    if (!link && data.hasText())
        link = fromPlainText(data.text());
    return link;
}

} // namespace anchorly::composer
