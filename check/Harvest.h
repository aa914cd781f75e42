#pragma once

#include "probes/LinkFacts.h"

#include <QList>
#include <QString>

#include <limits>

namespace friendlinks {

inline const QString kAddressPattern = QStringLiteral(R"(http://([\w-]+\.)+[\w-]+(/[\w- ./?%&=]*)?)");
// Today's web: the same address with either scheme.
inline const QString kModernAddressPattern = QStringLiteral(R"(https?://([\w-]+\.)+[\w-]+(/[\w- ./?%&=]*)?)");
inline constexpr int kMaxLinkLength = 50;
inline constexpr int kMaxNameLength = 15;

// One friend link found on the checked site's page.
struct HarvestedLink {
    QString lianjie;    // the address exactly as matched
    QString guanjianzi; // "图片链接" or the anchor text, cut to 15 characters (CR LF counted)
    bool operator==(const HarvestedLink &) const = default;
};

// Classic lists "http://" friend links only; modern lists "https://" ones as
// well, judging an https address by the domain rules as its http form.
enum class LinkMode { Classic, Modern };

// What one harvest found: the rows, the checked site's own anchor of each
// (indexed like links), and for a classic harvest the anchors it passed over
// that the modern one would have listed with an https address.
struct Harvest {
    QList<HarvestedLink> links;
    QList<BackLinkFacts> ourLinks;
    int unlistedHttps = 0;
    int beyondLimit = 0; // friend links found after maxLinks, counted but not listed
};

// The friend links of a page, in page order, not de-duplicated. site is the
// entered site text as typed (an "https://" form is judged as "http://").
// Classic reads anchors with the anchor pattern and keeps a row's address as
// found. Modern reads them as a browser does (see readPageAnchors): the
// address resolved against pageAddress (the address the page was read from,
// the site when empty), the name the anchor's whole text (up to 64
// characters) or an image's alt, the site's host compared in any letter case.
// At most maxLinks are listed.
[[nodiscard]] Harvest harvest(const QString &page, const QString &site, LinkMode mode,
                              const QString &pageAddress = {},
                              int maxLinks = std::numeric_limits<int>::max());
[[nodiscard]] QList<HarvestedLink> harvestLinks(const QString &page, const QString &site);

} // namespace friendlinks
