#include "probes/PageAnchors.h"

#include "probes/AnchorTree.h"
#include "probes/BackLinkProbe.h"
#include "probes/HtmlTags.h"
#include "probes/InlineStyle.h"
#include "web/TextCuts.h"

#include <QRegularExpression>
#include <QUrl>

#include <optional>

namespace friendlinks {
namespace {

const QStringList kUnfollowedRel = {QStringLiteral("nofollow"), QStringLiteral("sponsored"), QStringLiteral("ugc")};
const QString kEllipsis = QStringLiteral("…");
const QList<QLatin1StringView> kAttributesRead = {QLatin1StringView("a"), QLatin1StringView("img"),
                                                  QLatin1StringView("base")};
// An anchor left open runs to the end of the page; its text is read no further than this.
constexpr qsizetype kMaxRawText = 16 * 1024;

QStringList relTokens(const HtmlStartTag &tag)
{
    const HtmlAttribute *rel = tag.attribute(QLatin1StringView("rel"));
    return rel ? rel->value.toLower().simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts) : QStringList();
}

PageAnchor finished(OpenAnchor open)
{
    PageAnchor anchor = std::move(open.anchor);
    anchor.text = decodeCharacterReferences(open.rawText, ReferenceContext::Text).simplified();
    if (anchor.text.isEmpty() && open.image) {
        const QString alt = open.alt.simplified();
        anchor.text = alt.isEmpty() ? kImageLink : alt;
    }
    return anchor;
}

OpenAnchor anchorOpenedBy(const HtmlStartTag &tag)
{
    OpenAnchor next;
    const HtmlAttribute *href = tag.attribute(QLatin1StringView("href"));
    next.link = href != nullptr;
    if (!href)
        return next;
    next.anchor.href = href->rawValue;
    next.anchor.address = href->value; // resolved once the base is known
    next.anchor.rel = relTokens(tag);
    if (const HtmlAttribute *title = tag.attribute(QLatin1StringView("title")))
        next.anchor.title = title->value;
    for (const QString &word : next.anchor.rel)
        next.anchor.follow = next.anchor.follow && !kUnfollowedRel.contains(word);
    const HtmlAttribute *style = tag.attribute(QLatin1StringView("style"));
    next.anchor.hidden =
        tag.attribute(QLatin1StringView("hidden")) != nullptr || (style && inlineStyleHides(style->value));
    return next;
}

bool isScheme(QStringView text)
{
    const auto letter = [](char16_t u) { return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z'); };
    if (text.isEmpty() || !letter(text[0].unicode()))
        return false;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (!letter(u) && !(u >= '0' && u <= '9') && u != '+' && u != '-' && u != '.')
            return false;
    }
    return true;
}

// An address in the http or https scheme with its slashes as a browser reads
// them: any number after the scheme count as two ("http:///c.com/" is
// "http://c.com/"), and so does none in another scheme than the base's, while
// "http:x" on an http page is a relative address.
QString withSchemeSlashes(const QString &address, const QString &baseScheme)
{
    const qsizetype colon = address.indexOf(u':');
    if (colon < 0)
        return address;
    if (!isScheme(QStringView(address).left(colon))) {
        // No scheme but a path whose first part holds ":" (" http://x/" with a no-break space).
        static const QRegularExpression kPathStart(QStringLiteral("[/?#]"));
        const qsizetype end = address.indexOf(kPathStart);
        return end >= 0 && end < colon ? address : QStringLiteral("./") + address;
    }
    const QString scheme = address.left(colon).toLower();
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https"))
        return address;
    qsizetype at = colon + 1;
    while (at < address.size() && address[at] == u'/')
        ++at;
    if (at == colon + 1 && scheme == baseScheme)
        return address.sliced(at);
    return scheme + QLatin1String("://") + address.sliced(at);
}

// Reads a page's tokens into anchors, as a browser's tree holds them.
class AnchorReader {
public:
    void read(const HtmlToken &token)
    {
        if (token.inTemplate)
            return; // a template's content is not part of the page
        const QString &name = token.tag.name;
        if (token.kind == HtmlToken::Kind::Text) {
            m_tree.text(token.text);
            OpenAnchor *open = m_tree.current();
            if (open && open->rawText.size() < kMaxRawText)
                open->rawText += token.text.left(kMaxRawText - open->rawText.size());
        } else if (token.foreign) {
            if (token.kind == HtmlToken::Kind::StartTag
                && (name == QLatin1String("svg") || name == QLatin1String("math")))
                m_tree.startTag(QStringLiteral("span"), true); // opens a closed anchor again, as inline tags do
        } else if (token.kind == HtmlToken::Kind::EndTag) {
            m_tree.endTag(name);
        } else if (name == QLatin1String("a")) {
            m_tree.startAnchor(anchorOpenedBy(token.tag));
        } else {
            readStartTag(token);
        }
    }

    [[nodiscard]] QList<PageAnchor> finish(const QString &pageAddress)
    {
        QString baseAddress = pageAddress;
        if (m_base) {
            if (const QString resolved = resolveLinkAddress(pageAddress, *m_base); !resolved.isEmpty())
                baseAddress = resolved;
        }
        QList<PageAnchor> anchors;
        for (OpenAnchor &open : m_tree.finish()) {
            anchors << finished(std::move(open));
            anchors.last().address = resolveLinkAddress(baseAddress, anchors.last().address);
        }
        return anchors;
    }

private:
    void readStartTag(const HtmlToken &token)
    {
        const HtmlStartTag &tag = token.tag;
        m_tree.startTag(tag.name, token.selfClosing);
        OpenAnchor *open = m_tree.current();
        if (tag.name == QLatin1String("img") && open && !open->image) {
            open->image = true;
            if (const HtmlAttribute *alt = tag.attribute(QLatin1StringView("alt")))
                open->alt = alt->value;
        } else if (tag.name == QLatin1String("base") && !m_base) {
            if (const HtmlAttribute *href = tag.attribute(QLatin1StringView("href")))
                m_base = href->value;
        }
    }

    AnchorTree m_tree;
    std::optional<QString> m_base;
};

} // namespace

QString resolveLinkAddress(const QString &base, QStringView href)
{
    // As browsers take an address: ASCII blanks and controls around it dropped
    // (a no-break space is part of it), tabs and line breaks inside it too, a
    // backslash read as a slash.
    qsizetype from = 0;
    qsizetype to = href.size();
    while (from < to && href[from].unicode() <= 0x20)
        ++from;
    while (to > from && href[to - 1].unicode() <= 0x20)
        --to;
    QString cleaned;
    cleaned.reserve(to - from);
    for (const QChar c : href.sliced(from, to - from)) {
        if (c == u'\t' || c == u'\n' || c == u'\r')
            continue;
        cleaned += c == u'\\' ? QChar(u'/') : c;
    }
    const QUrl baseUrl(base, QUrl::TolerantMode);
    QUrl absolute = baseUrl.adjusted(QUrl::RemoveFragment); // an empty href is the page itself
    if (!cleaned.isEmpty()) {
        const QUrl relative(withSchemeSlashes(cleaned, baseUrl.scheme().toLower()), QUrl::TolerantMode);
        if (!relative.isValid())
            return {};
        absolute = relative.isRelative() ? baseUrl.resolved(relative) : relative;
    }
    const QString scheme = absolute.scheme().toLower();
    if (!absolute.isValid() || absolute.host().isEmpty()
        || (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return {};
    if (absolute.port() == (scheme == QLatin1String("http") ? 80 : 443))
        absolute.setPort(-1); // a browser writes the address without its scheme's own port
    if (absolute.path().isEmpty())
        absolute.setPath(QStringLiteral("/")); // and with the root's "/"
    return absolute.toString();
}

QList<PageAnchor> readPageAnchors(QStringView html, const QString &pageAddress)
{
    AnchorReader reader;
    forEachToken(html, kAttributesRead, [&reader](const HtmlToken &token) { reader.read(token); });
    return reader.finish(pageAddress);
}

QString keptText(const QString &text)
{
    const QString kept = cutText(text, kMaxModernTextLength);
    return kept.size() == text.size() ? text : kept + kEllipsis;
}

} // namespace friendlinks
