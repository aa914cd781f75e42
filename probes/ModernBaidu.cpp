#include "probes/ModernBaidu.h"

#include "probes/BaiduState.h"
#include "probes/DomainRules.h"
#include "probes/HtmlTags.h"

#include <QRegularExpression>

namespace friendlinks {
namespace {

const QString kCountSuffix = QStringLiteral("篇");

// The number that starts an old page's count text, "约" and blanks allowed before it.
const QRegularExpression &leadingCount()
{
    static const QRegularExpression kCount(QStringLiteral("^[\\s\\x{00A0}\\x{3000}]*(约?[0-9][0-9,]*)"));
    return kCount;
}

// Scheme, "www." and trailing "/" dropped, the host lower-cased.
QString comparable(QString address)
{
    address = address.trimmed();
    for (const QLatin1StringView scheme : {QLatin1StringView("http://"), QLatin1StringView("https://")}) {
        if (address.startsWith(scheme, Qt::CaseInsensitive)) {
            address.remove(0, scheme.size());
            break;
        }
    }
    if (address.startsWith(QLatin1String("www."), Qt::CaseInsensitive))
        address.remove(0, 4);
    while (address.endsWith(QLatin1Char('/')))
        address.chop(1);
    qsizetype hostEnd = address.indexOf(QLatin1Char('/'));
    if (hostEnd < 0)
        hostEnd = address.size();
    return address.left(hostEnd).toLower() + address.mid(hostEnd);
}

} // namespace

std::optional<QString> firstResultAddress(QStringView page)
{
    std::optional<QString> address;
    // Result blocks are divs today; the walk passes over scripts and comments.
    forEachStartTag(page, {QLatin1StringView("div"), QLatin1StringView("article"), QLatin1StringView("section")},
                    [&address](const HtmlStartTag &tag) {
                        if (address)
                            return;
                        const HtmlAttribute *mu = tag.attribute(QLatin1StringView("mu"));
                        if (mu && !mu->value.trimmed().isEmpty())
                            address = mu->value.trimmed();
                    });
    return address;
}

bool sameSiteAddress(const QString &a, const QString &b)
{
    return comparable(a) == comparable(b);
}

QString plainCount(const QString &classicCount)
{
    const QRegularExpressionMatch match = leadingCount().match(classicCount);
    return match.hasMatch() ? match.captured(1) + kCountSuffix : QString();
}

std::optional<BaiduResult> parseModernBaiduPage(const QString &page, const QString &site)
{
    if (auto classic = parseBaiduPage(page, asHttpSite(site))) {
        classic->count = plainCount(classic->count);
        if (const std::optional<QString> today = baiduIndexCount(page); classic->count.isEmpty() && today)
            classic->count = *today + kCountSuffix;
        return classic;
    }
    const std::optional<QString> count = baiduIndexCount(page);
    if (!count)
        return std::nullopt;
    const std::optional<QString> first = firstResultAddress(page);
    QString verdict;
    if (first)
        verdict = sameSiteAddress(*first, site) ? kHomePageFirst : kNotFirst;
    return BaiduResult{*count + kCountSuffix, QString(), verdict};
}

QString modernBaiduQueryUrl(const QString &host, const QString &site)
{
    return baiduQueryUrl(host, asHttpSite(site));
}

} // namespace friendlinks
