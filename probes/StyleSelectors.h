#pragma once

#include "probes/HtmlTags.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace friendlinks {

// One element on the way from a page's root to a link, as its markup gives it.
struct StyledElement {
    QString tag;         // lower case: "div", "a"
    QString id;
    QStringList classes; // the class attribute cut at blanks
    QString style;       // the style attribute as written
    bool hidden = false; // it has the hidden attribute
};

// The element a start tag opens (read with its attributes): id, class list cut
// at ASCII blanks as browsers cut it, style and hidden attributes.
[[nodiscard]] StyledElement styledElement(const HtmlStartTag &tag);

// One compound of a selector: a type (empty for any), an id, classes, all of which must hold.
struct SelectorCompound {
    QString tag;
    QString id;
    QStringList classes;
};

enum class Combinator { Descendant, Child };

// A selector of the simple kind: compounds joined by " " and ">", the subject last.
struct StyleSelector {
    QList<SelectorCompound> compounds;
    QList<Combinator> combinators; // combinators[i] joins compounds[i] and compounds[i + 1]
    int specificity = 0;           // ids, classes and types, one byte each, ids highest
};

// The selectors of one rule's selector list that are of the simple kind: type,
// "*", ".class", "#id", compounds of them, the descendant and the child
// combinator. A selector with anything else (attributes, pseudo-classes,
// pseudo-elements, the sibling combinators, escapes, namespaces, nesting) is
// left out, the others of the list kept. A list that no browser reads (an
// empty selector, ".1a", a combinator at an end) is dropped whole, as browsers
// drop the rule: invalid is then true and selectors empty.
struct SelectorList {
    QList<StyleSelector> selectors;
    bool invalid = false;
};
[[nodiscard]] SelectorList readSelectorList(QStringView text);

// True when selector matches chain[index], its ancestors being chain[0 .. index - 1]
// (root first). Types compare in lower case; ids and classes as written. With a
// budget, the work of the ancestors' part (compounds times ancestors) is taken
// from it, and a selector that would need more than is left does not match: a
// hostile sheet of long selectors over a deep chain then costs a bounded time.
[[nodiscard]] bool selectorMatches(const StyleSelector &selector, const QList<StyledElement> &chain, qsizetype index,
                                   qint64 *budget = nullptr);

} // namespace friendlinks
