#include "probes/PageScan.h"

#include "probes/AnchorTree.h"
#include "probes/BackLinkProbe.h"
#include "probes/CharacterReferences.h"
#include "probes/InlineStyle.h"
#include "probes/LinkAddress.h"

#include <optional>

namespace friendlinks {
namespace {

const QStringList kUnfollowedRel = {QStringLiteral("nofollow"), QStringLiteral("sponsored"), QStringLiteral("ugc")};
// Every start tag carries its attributes: an ancestor's class, id and style decide whether a link shows.
const QList<QLatin1StringView> kAllAttributes = {QLatin1StringView("*")};
const QList<QLatin1StringView> kLinkAttributes = {QLatin1StringView("a"), QLatin1StringView("img")};
const QList<QLatin1StringView> kBodiesRead = {QLatin1StringView("style"), QLatin1StringView("script")};
// An anchor left open runs to the end of the page; its text is read no further than this.
constexpr qsizetype kMaxRawText = 16 * 1024;

QStringList relTokens(const HtmlStartTag &tag)
{
    const HtmlAttribute *rel = tag.attribute(QLatin1StringView("rel"));
    return rel ? rel->value.toLower().simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts) : QStringList();
}

PageAnchor finished(OpenAnchor &open, const QString &baseAddress)
{
    PageAnchor anchor = std::move(open.anchor);
    anchor.text = decodeCharacterReferences(open.rawText, ReferenceContext::Text).simplified();
    if (anchor.text.isEmpty() && open.image) {
        const QString alt = open.alt.simplified();
        anchor.text = alt.isEmpty() ? kImageLink : alt;
    }
    anchor.address = resolveLinkAddress(baseAddress, anchor.address);
    return anchor;
}

OpenAnchor anchorOpenedBy(const HtmlStartTag &tag, bool styled)
{
    OpenAnchor next;
    if (styled)
        next.element = styledElement(tag);
    const HtmlAttribute *href = tag.attribute(QLatin1StringView("href"));
    next.link = href != nullptr;
    if (!href)
        return next;
    next.anchor.href = href->rawValue;
    next.anchor.address = href->value; // resolved as the anchor ends
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

// Reads a page's tokens into anchors, as a browser's tree holds them, and hands them on.
class PageReader {
public:
    PageReader(QString baseAddress, PageVisitor &visitor)
        : m_base(std::move(baseAddress))
        , m_visitor(visitor)
        , m_styled(visitor.wantsStyledChains())
        , m_tree([this](OpenAnchor &&open) { m_visitor.anchor(finished(open, m_base), open.chain); }, m_styled)
    {
    }

    void read(const HtmlToken &token)
    {
        if (token.inTemplate)
            return; // a template's content is not part of the page
        const QString &name = token.tag.name;
        if (token.kind == HtmlToken::Kind::RawText) {
            if (!token.foreign)
                m_visitor.rawText(name, token.text);
        } else if (token.kind == HtmlToken::Kind::Text) {
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
        } else {
            m_visitor.startTag(token.tag);
            if (name == QLatin1String("a"))
                m_tree.startAnchor(anchorOpenedBy(token.tag, m_styled));
            else
                readStartTag(token);
        }
    }

    void finish() { m_tree.finish(); }

private:
    void readStartTag(const HtmlToken &token)
    {
        const HtmlStartTag &tag = token.tag;
        m_tree.startTag(tag.name, token.selfClosing, m_styled ? styledElement(tag) : StyledElement{});
        OpenAnchor *open = m_tree.current();
        if (tag.name == QLatin1String("img") && open && !open->image) {
            open->image = true;
            if (const HtmlAttribute *alt = tag.attribute(QLatin1StringView("alt")))
                open->alt = alt->value;
        }
    }

    QString m_base;
    PageVisitor &m_visitor;
    bool m_styled = true;
    AnchorTree m_tree;
};

// Whether "<base" stands anywhere in html, in any case (a quick look for '<' first).
bool mayHoldBase(QStringView html)
{
    for (qsizetype at = html.indexOf(u'<'); at >= 0 && at + 5 <= html.size(); at = html.indexOf(u'<', at + 1)) {
        if (html.sliced(at + 1, 4).compare(QLatin1StringView("base"), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

} // namespace

QString pageBaseAddress(QStringView html, const QString &pageAddress)
{
    if (!mayHoldBase(html))
        return pageAddress; // most pages: no second pass
    std::optional<QString> base;
    forEachToken(html, {QLatin1StringView("base")}, [&base](const HtmlToken &token) {
        if (base || token.inTemplate || token.foreign || token.kind != HtmlToken::Kind::StartTag
            || token.tag.name != QLatin1String("base"))
            return;
        if (const HtmlAttribute *href = token.tag.attribute(QLatin1StringView("href")))
            base = href->value;
    });
    if (!base)
        return pageAddress;
    const QString resolved = resolveLinkAddress(pageAddress, *base);
    return resolved.isEmpty() ? pageAddress : resolved;
}

void readPage(QStringView html, const QString &pageAddress, PageVisitor &visitor)
{
    const QString base = pageBaseAddress(html, pageAddress);
    visitor.begin(base);
    PageReader reader(base, visitor);
    forEachToken(html, visitor.wantsStyledChains() ? kAllAttributes : kLinkAttributes,
                 [&reader](const HtmlToken &token) { reader.read(token); }, kBodiesRead);
    reader.finish();
}

} // namespace friendlinks
