#include "probes/LinkFacts.h"

#include "probes/HtmlTags.h"

namespace friendlinks {
namespace {

const QList<QLatin1StringView> kLinkTags = {QLatin1StringView("a"), QLatin1StringView("meta")};
const QStringList kUnfollowedRel = {QStringLiteral("nofollow"), QStringLiteral("sponsored"), QStringLiteral("ugc")};
const QStringList kRobotsNames = {QStringLiteral("robots"), QStringLiteral("baiduspider")};
const QStringList kNoFollowWords = {QStringLiteral("nofollow"), QStringLiteral("none")};
// X-Robots-Tag directives that are written with a ":" of their own; any other "word:" names an agent.
const QStringList kDirectivesWithValue = {QStringLiteral("unavailable_after"), QStringLiteral("max-snippet"),
                                          QStringLiteral("max-image-preview"), QStringLiteral("max-video-preview")};
const QString kOurAgent = QStringLiteral("baiduspider");

bool isBlank(QChar c)
{
    const char16_t u = c.unicode();
    return u == ' ' || u == '\t' || u == '\n' || u == '\r' || u == '\f';
}

QStringList words(QStringView text, bool commasToo)
{
    QStringList out;
    qsizetype start = -1;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        const bool separator = i == text.size() || isBlank(text[i]) || (commasToo && text[i] == u',');
        if (separator) {
            if (start >= 0)
                out << text.sliced(start, i - start).toString().toLower();
            start = -1;
        } else if (start < 0) {
            start = i;
        }
    }
    return out;
}

bool holdsNoFollow(const QStringList &tokens)
{
    for (const QString &t : tokens) {
        if (kNoFollowWords.contains(t))
            return true;
    }
    return false;
}

bool metaForbidsFollow(const HtmlStartTag &meta)
{
    const HtmlAttribute *name = meta.attribute(QLatin1StringView("name"));
    const HtmlAttribute *content = meta.attribute(QLatin1StringView("content"));
    if (!name || !content || !kRobotsNames.contains(name->value.trimmed().toLower()))
        return false;
    return holdsNoFollow(words(content->value, true));
}

} // namespace

BackLinkFacts backLinkFacts(QStringView anchorMarkup)
{
    BackLinkFacts facts;
    const std::optional<HtmlStartTag> tag = firstStartTag(anchorMarkup);
    if (!tag)
        return facts;
    if (const HtmlAttribute *href = tag->attribute(QLatin1StringView("href")))
        facts.href = href->rawValue;
    if (const HtmlAttribute *rel = tag->attribute(QLatin1StringView("rel")))
        facts.rel = words(rel->value, false);
    for (const QString &token : facts.rel)
        facts.follow = facts.follow && !kUnfollowedRel.contains(token);
    return facts;
}

bool robotsTagForbidsFollow(QStringView value)
{
    bool forUs = true; // directives before any agent name bind every agent
    for (QStringView piece : value.split(u',')) {
        piece = piece.trimmed();
        if (const qsizetype colon = piece.indexOf(u':'); colon > 0) {
            const QString prefix = piece.left(colon).trimmed().toString().toLower();
            if (!kDirectivesWithValue.contains(prefix)) {
                forUs = prefix == kOurAgent;
                piece = piece.sliced(colon + 1);
            }
        }
        if (forUs && holdsNoFollow(words(piece, false)))
            return true;
    }
    return false;
}

QString siteHost(QStringView address)
{
    address = address.trimmed();
    qsizetype at = 0;
    if (address.startsWith(QLatin1StringView("http:"), Qt::CaseInsensitive))
        at = 5;
    else if (address.startsWith(QLatin1StringView("https:"), Qt::CaseInsensitive))
        at = 6;
    else
        return {};
    const qsizetype slashesStart = at;
    while (at < address.size() && (address[at] == u'/' || address[at] == u'\\'))
        ++at;
    if (at == slashesStart)
        return {};
    qsizetype end = at;
    while (end < address.size() && address[end] != u'/' && address[end] != u'\\' && address[end] != u'?'
           && address[end] != u'#')
        ++end;
    QStringView host = address.sliced(at, end - at);
    if (const qsizetype user = host.lastIndexOf(u'@'); user >= 0)
        host = host.sliced(user + 1);
    if (host.startsWith(u'[')) {
        const qsizetype close = host.indexOf(u']');
        host = close < 0 ? host.sliced(1) : host.sliced(1, close - 1);
    } else if (const qsizetype colon = host.indexOf(u':'); colon >= 0) {
        host = host.left(colon);
    }
    if (host.endsWith(u'.'))
        host.chop(1);
    QString lower = host.toString().toLower();
    if (lower.startsWith(QLatin1StringView("www.")))
        lower.remove(0, 4);
    return lower;
}

PageLinkFacts pageLinkFacts(QStringView page, const QList<QPair<QByteArray, QByteArray>> &headers,
                            const QStringList &ownAddresses)
{
    PageLinkFacts facts;
    for (const auto &[name, value] : headers) {
        if (name.compare("X-Robots-Tag", Qt::CaseInsensitive) == 0
            && robotsTagForbidsFollow(QString::fromLatin1(value)))
            facts.nofollow = true;
    }
    QStringList own;
    for (const QString &address : ownAddresses) {
        if (const QString host = siteHost(address); !host.isEmpty())
            own << host;
    }
    // As a browser builds the page: nothing in a <template> or (for links) in svg or math counts.
    forEachToken(page, kLinkTags, [&](const HtmlToken &token) {
        if (token.kind != HtmlToken::Kind::StartTag || token.inTemplate)
            return;
        const HtmlStartTag &tag = token.tag;
        if (tag.name == QLatin1StringView("meta")) {
            facts.nofollow = facts.nofollow || metaForbidsFollow(tag);
            return;
        }
        const HtmlAttribute *href = tag.attribute(QLatin1StringView("href"));
        if (tag.name != QLatin1StringView("a") || token.foreign || !href)
            return;
        const QString host = siteHost(href->value);
        if (!host.isEmpty() && !own.contains(host))
            ++facts.outbound;
    });
    return facts;
}

} // namespace friendlinks
