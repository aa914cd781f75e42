#pragma once

#include "probes/PageAnchor.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

namespace friendlinks {

// An anchor being read: its start tag is known, its text still coming.
struct OpenAnchor {
    PageAnchor anchor;
    bool link = true; // it has an href (an <a> without one is no link, but is closed and reopened alike)
    QString rawText;
    bool image = false;
    QString alt;
};

// Follows where a browser's tree builder puts the <a> elements of a page, for
// the common cases: an <a> left open ends with the block that holds it (</p>,
// </div>, </li>, a new <li> or <p> ...) and is opened again, as a copy, by the
// text or inline tag that comes next (the browser's "reconstruct the active
// formatting elements"), until an </a>, a new <a> or the end of a table cell.
// Takes HTML tokens only (the caller leaves out template and foreign ones).
class AnchorTree {
public:
    void startAnchor(OpenAnchor anchor);
    void startTag(const QString &name, bool selfClosing);
    void endTag(const QString &name);
    void text(QStringView text);
    // The anchor the next text or image goes to, or nullptr.
    [[nodiscard]] OpenAnchor *current();
    // The anchors read, in page order; the tree reads no more.
    [[nodiscard]] QList<OpenAnchor> finish();

private:
    void reconstruct();
    void popTo(qsizetype index);
    void closeAnchor();
    [[nodiscard]] qsizetype openIndex(const QString &name, const QStringList &boundaries) const;
    [[nodiscard]] int markersBelow(qsizetype index) const;
    void push(const QString &name);

    QStringList m_open;               // open HTML elements, outermost first (bounded)
    std::optional<OpenAnchor> m_anchor; // the <a> in the tree now
    qsizetype m_anchorAt = -1;        // its place in m_open
    std::optional<OpenAnchor> m_pending; // an <a> closed by its block, opened again by what comes next
    int m_pendingMarkers = 0;         // table cells (and the like) open around it
    QList<OpenAnchor> m_done;
};

} // namespace friendlinks
