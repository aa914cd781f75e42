#include "probes/AnchorTree.h"

#include <QSet>

#include <algorithm>

namespace friendlinks {
namespace {

constexpr qsizetype kMaxDepth = 512; // deeper nesting is no page's; kept bounded

// Elements whose end closes what is open inside them, and that no end tag of
// an inline element reaches through.
const QSet<QString> kSpecial = {
    "address", "applet", "article", "aside", "blockquote", "body", "button", "caption", "center", "dd",
    "details", "dialog", "dir", "div", "dl", "dt", "fieldset", "figcaption", "figure", "footer", "form",
    "h1", "h2", "h3", "h4", "h5", "h6", "header", "hgroup", "html", "li", "listing", "main", "marquee",
    "menu", "nav", "object", "ol", "p", "pre", "search", "section", "select", "summary", "table", "tbody",
    "td", "tfoot", "th", "thead", "tr", "ul", "xmp", "textarea", "iframe", "noscript",
};
// Start tags that close an open <p> first.
const QSet<QString> kClosesP = {
    "address", "article", "aside", "blockquote", "center", "details", "dialog", "dir", "div", "dl",
    "fieldset", "figcaption", "figure", "footer", "header", "hgroup", "main", "menu", "nav", "ol", "p",
    "search", "section", "summary", "ul", "h1", "h2", "h3", "h4", "h5", "h6", "pre", "listing", "form",
    "hr", "xmp", "li", "dd", "dt",
};
// Start tags before which a closed <a> is not opened again.
const QSet<QString> kNoReconstruct = {
    "table", "base", "link", "meta", "script", "style", "title", "template", "iframe", "noembed", "noframes",
    "textarea", "plaintext", "frameset", "body", "html", "head", "caption", "col", "colgroup", "tbody",
    "td", "tfoot", "th", "thead", "tr", "param", "source", "track",
};
const QSet<QString> kVoid = {"area", "base", "br", "col", "embed", "hr", "img", "input", "link", "meta",
                           "source", "track", "wbr", "param", "keygen"};
// Elements that bound a search for an open element of a block's name.
const QStringList kScope = {"applet", "caption", "html", "table", "td", "th", "marquee", "object", "template"};
// Elements past whose end an <a> opened inside them is not opened again.
const QStringList kMarkers = {"applet", "object", "marquee", "template", "td", "th", "caption"};
const QStringList kCells = {"td", "th"};
const QStringList kButtonScope = kScope + QStringList{"button"};
const QStringList kListScope = kScope + QStringList{"ol", "ul", "dl"};
const QStringList kTableScope = {"table", "html", "template"};
const QStringList kListItems = {"li"};
const QStringList kDefinitionItems = {"dd", "dt"};

} // namespace

OpenAnchor *AnchorTree::current()
{
    return m_anchor ? &*m_anchor : nullptr;
}

void AnchorTree::push(const QString &name, const StyledElement &element)
{
    if (m_open.size() < kMaxDepth) {
        m_open << name;
        if (m_chains)
            m_elements << element;
    }
}

// Puts anchor in the tree where the open elements end.
void AnchorTree::openAnchor(OpenAnchor anchor)
{
    m_anchorAt = m_open.size();
    if (m_chains) {
        anchor.chain = m_elements;
        anchor.chain << anchor.element;
    }
    push(QStringLiteral("a"), anchor.element);
    m_anchor = std::move(anchor);
}

void AnchorTree::startAnchor(OpenAnchor anchor)
{
    closeAnchor(); // a new <a> ends the one before, as browsers read it
    m_pending.reset();
    reconstruct();
    m_pendingMarkers = markersBelow(m_open.size());
    openAnchor(std::move(anchor));
}

void AnchorTree::startTag(const QString &name, bool selfClosing, const StyledElement &element)
{
    if (kClosesP.contains(name)) {
        const qsizetype p = openIndex(QStringLiteral("p"), kButtonScope);
        if (p >= 0)
            popTo(p);
    }
    if (name == QLatin1String("li") || name == QLatin1String("dd") || name == QLatin1String("dt")) {
        for (const QString &item : name == QLatin1String("li") ? kListItems : kDefinitionItems) {
            if (const qsizetype at = openIndex(item, kListScope); at >= 0)
                popTo(at);
        }
    }
    if (kCells.contains(name) || name == QLatin1String("tr")) {
        for (const QString &cell : kCells) {
            if (const qsizetype at = openIndex(cell, kTableScope); at >= 0)
                popTo(at);
        }
    }
    if (!kNoReconstruct.contains(name) && !kClosesP.contains(name))
        reconstruct();
    if (!selfClosing && !kVoid.contains(name))
        push(name, element);
}

void AnchorTree::endTag(const QString &name)
{
    if (name == QLatin1String("a")) {
        if (m_anchor)
            popTo(m_anchorAt);
        m_pending.reset();
        return;
    }
    const bool special = kSpecial.contains(name);
    for (qsizetype at = m_open.size() - 1; at >= 0; --at) {
        if (m_open[at] == name) {
            popTo(at);
            return;
        }
        if (special ? kScope.contains(m_open[at]) : kSpecial.contains(m_open[at]))
            return; // not open where this end tag could close it: a browser passes it over
    }
}

void AnchorTree::text(QStringView text)
{
    if (!text.isEmpty())
        reconstruct();
}

void AnchorTree::finish()
{
    closeAnchor();
    m_pending.reset();
}

void AnchorTree::reconstruct()
{
    if (m_anchor || !m_pending || markersBelow(m_open.size()) > m_pendingMarkers)
        return; // a table cell opened since keeps it out, as the browser's marker does
    openAnchor(*m_pending); // the copy starts with no text of its own
}

// Closes the elements from index on; an <a> among them stays to be opened again
// unless a table cell (or the like) around it closes too.
void AnchorTree::popTo(qsizetype index)
{
    const bool anchorCloses = m_anchor && m_anchorAt >= index;
    const int markersLeft = markersBelow(index);
    m_open.resize(index);
    m_elements.resize(std::min(index, m_elements.size()));
    if (anchorCloses) {
        OpenAnchor reopened = *m_anchor;
        reopened.rawText.clear();
        reopened.image = false;
        reopened.alt.clear();
        closeAnchor();
        m_pending = std::move(reopened);
    }
    if (m_pending && markersLeft < m_pendingMarkers)
        m_pending.reset();
}

void AnchorTree::closeAnchor()
{
    if (m_anchor && m_anchor->link)
        m_done(std::move(*m_anchor));
    m_anchor.reset();
    m_anchorAt = -1;
}

qsizetype AnchorTree::openIndex(const QString &name, const QStringList &boundaries) const
{
    for (qsizetype at = m_open.size() - 1; at >= 0; --at) {
        if (m_open[at] == name)
            return at;
        if (boundaries.contains(m_open[at]))
            return -1;
    }
    return -1;
}

int AnchorTree::markersBelow(qsizetype index) const
{
    int count = 0;
    for (qsizetype at = 0; at < index && at < m_open.size(); ++at)
        count += kMarkers.contains(m_open[at]) ? 1 : 0;
    return count;
}

} // namespace friendlinks
