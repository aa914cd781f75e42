#include "probes/PageAnchors.h"

#include "probes/BackLinkProbe.h"
#include "probes/HtmlTags.h"
#include "web/TextCuts.h"

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

// True when the element's own style keeps it from showing.
bool styleHides(const HtmlStartTag &tag)
{
    const HtmlAttribute *style = tag.attribute(QLatin1StringView("style"));
    if (!style)
        return false;
    for (const QStringView declaration : QStringView(style->value).split(u';')) {
        const qsizetype colon = declaration.indexOf(u':');
        if (colon < 0)
            continue;
        const QString property = declaration.left(colon).trimmed().toString().toLower();
        QString value = declaration.sliced(colon + 1).toString().toLower();
        value.remove(QLatin1String("!important"));
        value = value.simplified();
        if ((property == QLatin1String("display") && value == QLatin1String("none"))
            || (property == QLatin1String("visibility") && value == QLatin1String("hidden")))
            return true;
    }
    return false;
}

// An anchor being read: its start tag is known, its text still coming.
struct OpenAnchor {
    PageAnchor anchor;
    QString rawText;
    bool image = false;
    QString alt;
};

PageAnchor finished(OpenAnchor open)
{
    PageAnchor anchor = std::move(open.anchor);
    anchor.text = decodeCharacterReferences(open.rawText).simplified();
    if (anchor.text.isEmpty() && open.image) {
        const QString alt = open.alt.simplified();
        anchor.text = alt.isEmpty() ? kImageLink : alt;
    }
    return anchor;
}

} // namespace

QString resolveLinkAddress(const QString &base, QStringView href)
{
    // As browsers take an address: blanks and controls around it dropped, tabs
    // and line breaks inside it too, a backslash read as a slash.
    QString cleaned;
    cleaned.reserve(href.size());
    for (const QChar c : href.trimmed()) {
        if (c == u'\t' || c == u'\n' || c == u'\r')
            continue;
        cleaned += c == u'\\' ? QChar(u'/') : c;
    }
    const QUrl relative(cleaned, QUrl::TolerantMode);
    if (!relative.isValid())
        return {};
    const QUrl absolute = relative.isRelative() ? QUrl(base, QUrl::TolerantMode).resolved(relative) : relative;
    const QString scheme = absolute.scheme().toLower();
    if (!absolute.isValid() || absolute.host().isEmpty()
        || (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return {};
    return absolute.toString();
}

QList<PageAnchor> readPageAnchors(QStringView html, const QString &pageAddress)
{
    QList<PageAnchor> anchors;
    std::optional<OpenAnchor> open;
    std::optional<QString> base;
    int templateDepth = 0; // a template's content is not part of the page
    const auto close = [&] {
        if (open)
            anchors << finished(std::move(*open));
        open.reset();
    };
    forEachToken(html, kAttributesRead, [&](const HtmlToken &token) {
        const QString &name = token.tag.name;
        if (token.kind == HtmlToken::Kind::Text) {
            if (open && templateDepth == 0 && open->rawText.size() < kMaxRawText)
                open->rawText += token.text.left(kMaxRawText - open->rawText.size());
            return;
        }
        if (name == QLatin1String("template")) {
            if (token.kind == HtmlToken::Kind::StartTag)
                ++templateDepth;
            else if (templateDepth > 0)
                --templateDepth;
            return;
        }
        if (templateDepth > 0)
            return;
        if (token.kind == HtmlToken::Kind::EndTag) {
            if (name == QLatin1String("a"))
                close();
            return;
        }
        const HtmlStartTag &tag = token.tag;
        if (name == QLatin1String("a")) {
            close(); // an anchor inside an anchor ends the first, as browsers read it
            const HtmlAttribute *href = tag.attribute(QLatin1StringView("href"));
            if (!href)
                return;
            OpenAnchor next;
            next.anchor.href = href->rawValue;
            next.anchor.address = href->value; // resolved once the base is known
            next.anchor.rel = relTokens(tag);
            for (const QString &word : next.anchor.rel)
                next.anchor.follow = next.anchor.follow && !kUnfollowedRel.contains(word);
            next.anchor.hidden = tag.attribute(QLatin1StringView("hidden")) != nullptr || styleHides(tag);
            open = std::move(next);
        } else if (name == QLatin1String("img") && open && !open->image) {
            open->image = true;
            if (const HtmlAttribute *alt = tag.attribute(QLatin1StringView("alt")))
                open->alt = alt->value;
        } else if (name == QLatin1String("base") && !base) {
            if (const HtmlAttribute *href = tag.attribute(QLatin1StringView("href")))
                base = href->value;
        }
    });
    close();

    QString baseAddress = pageAddress;
    if (base) {
        if (const QString resolved = resolveLinkAddress(pageAddress, *base); !resolved.isEmpty())
            baseAddress = resolved;
    }
    for (PageAnchor &anchor : anchors)
        anchor.address = resolveLinkAddress(baseAddress, anchor.address);
    return anchors;
}

QString keptText(const QString &text)
{
    const QString kept = cutText(text, kMaxModernTextLength);
    return kept.size() == text.size() ? text : kept + kEllipsis;
}

} // namespace friendlinks
