#pragma once

#include "probes/StyleSelectors.h"
#include "probes/StyleSheetReader.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <array>
#include <optional>

namespace friendlinks {

// A style sheet, or a <style> element's text, is read up to this many characters.
inline constexpr qsizetype kStyleSheetMaxChars = 256 * 1024;
// Of a longer chain only the elements nearest the link are looked at.
inline constexpr qsizetype kStyleChainMaxDepth = 256;
// One hiddenBy call matches selectors against ancestors this many compound-element
// pairs at most (some tens of milliseconds; a real page needs a few percent of
// it); past it, selectors with ancestors match nothing more, which can only miss
// a hiding. Shorter selectors are matched first, so that only the longest ones
// of a hostile sheet go unread.
inline constexpr qint64 kStyleMatchBudget = 2'000'000;

// The properties that can hide, as the cascade keeps them.
enum class HidingProperty {
    Display, Visibility, FontSize, TextIndent, Position, Left, Top, Height, Width, OverflowX, OverflowY,
    Color, BackgroundColor,
};
inline constexpr int kHidingPropertyCount = int(HidingProperty::BackgroundColor) + 1;

struct HidingDeclaration {
    HidingProperty property = HidingProperty::Display;
    QString value; // lower case, blanks made single
    bool important = false;
};

// The declarations of those properties among declarations, in order, the
// shorthands read into their parts: "font" gives its font-size ("font:0/0 a"
// is font-size 0), "background" the colour of its last layer (transparent when
// it names none), "overflow" its -x and -y.
[[nodiscard]] QList<HidingDeclaration> hidingDeclarations(const QList<StyleDeclaration> &declarations);

// What hides a link: the rule's words for a fact, and the element they hold for.
struct HiddenBy {
    // "display:none", "hidden attribute", "visibility:hidden", "font-size:0",
    // "text-indent:-9999px", "position:absolute;left:-9999px",
    // "height:0;overflow:hidden", "color:#ffffff on #ffffff", "color:transparent"
    // (the values as the page wrote them, in lower case).
    QString reason;
    qsizetype element = -1; // its index in the chain; the link is the last
    QString where;          // that element as a selector: "div#links.flink", "a"

    // "display:none (div.flink)", for a fact.
    [[nodiscard]] QString text() const;
};

// The style rules of a page, and whether they hide a link. Give it the page's
// <style> texts and same-site style sheets in document order (addStyleSheet),
// then ask hiddenBy with the chain of elements from the root to each link.
// Only what can hide is kept: display, visibility, font-size (and font),
// text-indent, position, left, top, height, width, overflow(-x/-y), color,
// background-color (and background). Selectors are read as readSelectorList
// says, rules as readStyleSheet says. The cascade is a browser's: !important
// first, then a style attribute above every rule, then specificity, then
// order; a later declaration of an element's own style attribute wins over an
// earlier one. Invalid values are not checked: a later declaration that a
// browser would drop still wins here, which can only miss a hiding, never
// invent one.
class StyleRules {
public:
    // Reads the rules of one sheet (at most kStyleSheetMaxChars characters of it) after those read before.
    void addStyleSheet(QStringView css);
    // Rules kept: one for each readable selector of a rule that declares a property above.
    [[nodiscard]] qsizetype ruleCount() const { return m_rules.size(); }

    // Whether the link at the end of chain (root first) is hidden, and by what:
    // - its own box or an ancestor's: display:none; the hidden attribute (unless a
    //   rule gives that element a display); position:absolute or fixed with left
    //   or top at -999px or less; height or width 0 with overflow hidden or clip
    //   (not on an inline element, where they do nothing);
    // - inherited, so that a nearer element undoes it: visibility hidden or
    //   collapse (visible undoes it), font-size 0 (a font-size of its own
    //   undoes it), text-indent of -999px or less;
    // - its text: a colour equal to the background behind it (the nearest element
    //   with an opaque background-color, else the page's white), or a transparent
    //   colour. A link's colour is its own rule's, or the browser's link blue.
    // The nearest cause to the root of the first kind comes first, then the second, then the third.
    [[nodiscard]] std::optional<HiddenBy> hiddenBy(const QList<StyledElement> &chain) const;

private:
    struct Rule {
        StyleSelector selector;
        qsizetype block = 0; // index into m_blocks
        int order = 0;
    };
    // The winning value of each property for chain[index] (empty: none declared).
    [[nodiscard]] std::array<QString, kHidingPropertyCount> computed(const QList<StyledElement> &chain,
                                                                      qsizetype index, qint64 &budget) const;

    QList<QList<HidingDeclaration>> m_blocks;
    QList<Rule> m_rules;
    int m_nextOrder = 0;
};

} // namespace friendlinks
