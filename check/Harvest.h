#pragma once

#include <QList>
#include <QString>

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

// The friend links of a page, in page order, not de-duplicated. site is the
// entered site text as typed (an "https://" form is judged as "http://").
[[nodiscard]] QList<HarvestedLink> harvestLinks(const QString &page, const QString &site);

} // namespace friendlinks
