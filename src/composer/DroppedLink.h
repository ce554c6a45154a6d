#pragma once

// A link or a page address dragged from a browser, read from the drag's data.

#include <QString>
#include <optional>

class QMimeData;

namespace anchorly::composer {

struct DroppedLink {
    QString address;
    QString text; // the link's text or the page's title; empty when the drag carries none
};

// The address and text a drag carries, from the formats browsers offer, in
// this order: "text/x-moz-url" (UTF-16, the address and the title on two
// lines), "text/html" (the first <a href> with its text, tags removed and
// entities decoded), "text/uri-list" (the first address, comments skipped)
// and "text/plain" (one line that looks like an address: a scheme and no
// blanks, or "www."). Address and text are trimmed of white space, the
// text's runs of white space made one blank. None when the drag carries no
// address.
std::optional<DroppedLink> droppedLink(const QMimeData& data);

} // namespace anchorly::composer
