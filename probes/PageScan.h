#pragma once

#include "probes/HtmlTags.h"
#include "probes/PageAnchor.h"
#include "probes/StyleSelectors.h"

#include <QList>
#include <QString>
#include <QStringView>

namespace friendlinks {

// What one pass over a page hands on, in page order, so that a reader keeps
// only what it needs (a page of 300,000 anchors need not be held as a list).
// Nothing comes from comments, <template> or svg/math.
class PageVisitor {
public:
    virtual ~PageVisitor() = default;
    // False: the chains stay empty and only anchors' and images' attributes
    // are read, which reads a page faster.
    [[nodiscard]] virtual bool wantsStyledChains() const { return true; }
    // First of all: the address the page's links resolve against.
    virtual void begin(const QString &baseAddress) { (void)baseAddress; }
    // Each link as it ends, as readPageAnchors reads it, with chain: the
    // elements open around it where it was opened, from the root, itself last.
    virtual void anchor(PageAnchor &&anchor, const QList<StyledElement> &chain) = 0;
    // Every start tag of the page (an <a> too), with its attributes.
    virtual void startTag(const HtmlStartTag &tag) { (void)tag; }
    // The body of a <style> or <script> element ("style", "script"), as written.
    virtual void rawText(const QString &element, QStringView body)
    {
        (void)element;
        (void)body;
    }
};

// The address a page's links resolve against: its first <base href> wherever
// it stands (resolved against pageAddress), else pageAddress.
[[nodiscard]] QString pageBaseAddress(QStringView html, const QString &pageAddress);

// Reads html (read from pageAddress) in one pass and tells visitor what it holds.
void readPage(QStringView html, const QString &pageAddress, PageVisitor &visitor);

} // namespace friendlinks
