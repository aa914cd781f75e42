#pragma once

#include "probes/PageAnchor.h"
#include "probes/StyleSelectors.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>
#include <optional>

namespace friendlinks {

// An anchor being read: its start tag is known, its text still coming.
struct OpenAnchor {
    PageAnchor anchor;
    bool link = true; // it has an href (an <a> without one is no link, but is closed and reopened alike)
    QString rawText;
    bool image = false;
    QString alt;
    StyledElement element;        // the <a> itself, as its start tag gives it
    QList<StyledElement> chain;   // the elements open from the root to the anchor, element last
};

// Follows where a browser's tree builder puts the <a> elements of a page, for
// the common cases: an <a> left open ends with the block that holds it (</p>,
// </div>, </li>, a new <li> or <p> ...) and is opened again, as a copy, by the
// text or inline tag that comes next (the browser's "reconstruct the active
// formatting elements"), until an </a>, a new <a> or the end of a table cell.
// Takes HTML tokens only (the caller leaves out template and foreign ones).
// Each anchor with an href goes to done as it ends, in page order, with the
// elements open around it where it was (last) opened (unless told to keep no chains).
class AnchorTree {
public:
    explicit AnchorTree(std::function<void(OpenAnchor &&)> done, bool chains = true)
        : m_done(std::move(done)), m_chains(chains)
    {
    }
    void startAnchor(OpenAnchor anchor);
    void startTag(const QString &name, bool selfClosing, const StyledElement &element = {});
    void endTag(const QString &name);
    void text(QStringView text);
    // The anchor the next text or image goes to, or nullptr.
    [[nodiscard]] OpenAnchor *current();
    // Ends the anchor still open; the tree reads no more.
    void finish();

private:
    void reconstruct();
    void popTo(qsizetype index);
    void closeAnchor();
    [[nodiscard]] qsizetype openIndex(const QString &name, const QStringList &boundaries) const;
    [[nodiscard]] int markersBelow(qsizetype index) const;
    void push(const QString &name, const StyledElement &element);
    void openAnchor(OpenAnchor anchor);

    QStringList m_open;               // open HTML elements, outermost first (bounded)
    QList<StyledElement> m_elements;  // the same as their start tags give them
    std::optional<OpenAnchor> m_anchor; // the <a> in the tree now
    qsizetype m_anchorAt = -1;        // its place in m_open
    std::optional<OpenAnchor> m_pending; // an <a> closed by its block, opened again by what comes next
    int m_pendingMarkers = 0;         // table cells (and the like) open around it
    std::function<void(OpenAnchor &&)> m_done;
    bool m_chains = true;
};

} // namespace friendlinks
