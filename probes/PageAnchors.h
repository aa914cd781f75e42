#pragma once

#include "probes/LinkAddress.h"
#include "probes/PageAnchor.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace friendlinks {

inline constexpr qsizetype kMaxModernTextLength = 64;

// The links of an HTML page as a browser reads them: anchors with an href,
// in page order, none from comments, raw-text bodies (script, style, title,
// textarea ...), <template> or svg/math; an anchor left open ends with its
// block and its reopened copies count too (see AnchorTree). Each href is
// resolved against the page's first <base href>, else against pageAddress (the
// address the page was read from); "//host/" takes the page's scheme. A
// reader that needs no list reads the same links one by one (readPage).
[[nodiscard]] QList<PageAnchor> readPageAnchors(QStringView html, const QString &pageAddress);

// A text kept whole up to 64 characters (an emoji counted once); a longer one
// is cut there and ends in "…".
[[nodiscard]] QString keptText(const QString &text);

} // namespace friendlinks
