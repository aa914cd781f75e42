#pragma once

#include "check/SkippedLinks.h"
#include "probes/LinkFacts.h"

#include <QList>
#include <QString>

#include <limits>

namespace friendlinks {

inline const QString kAddressPattern = QStringLiteral(R"(http://([\w-]+\.)+[\w-]+(/[\w- ./?%&=]*)?)");
inline constexpr int kMaxLinkLength = 50;
inline constexpr int kMaxNameLength = 15;

// One friend link found on the checked site's page.
struct HarvestedLink {
    QString lianjie;    // the address exactly as matched
    QString guanjianzi; // "图片链接" or the anchor text, cut to 15 characters (CR LF counted)
    bool operator==(const HarvestedLink &) const = default;
};

// Classic lists "http://" friend links by the original domain rules; modern
// lists every link to another site's home page, in either scheme.
enum class LinkMode { Classic, Modern };

// What one harvest found: the rows, the checked site's own anchor of each
// (indexed like links), and the anchors it did not list, by reason.
struct Harvest {
    QList<HarvestedLink> links;
    QList<BackLinkFacts> ourLinks;
    SkippedLinks skipped;
    int beyondLimit = 0; // friend links found after maxLinks, counted but not listed
};

// The friend links of a page, in page order. site is the entered site text
// as typed.
// Classic reads anchors with the anchor pattern, keeps a row's address as
// found and judges it by the original domain rules (an "https://" site as its
// "http://" form); it does not de-duplicate.
// Modern reads anchors as a browser does (see readPageAnchors), the address
// resolved against pageAddress (the address the page was read from, the site
// when empty): a link to another site (by the Public Suffix List, see
// registrableDomain) whose path is its home page, in either scheme, with any
// name ending, once per address; registration and software-credit links left
// out. Its name is the anchor's whole text (up to 64 characters) or an image's alt.
// At most maxLinks are listed.
[[nodiscard]] Harvest harvest(const QString &page, const QString &site, LinkMode mode,
                              const QString &pageAddress = {},
                              int maxLinks = std::numeric_limits<int>::max());
[[nodiscard]] QList<HarvestedLink> harvestLinks(const QString &page, const QString &site);

} // namespace friendlinks
