#include "probes/StyleRules.h"

#include "probes/StyleValues.h"

#include <QHash>
#include <QSet>
#include <QStringList>

#include <algorithm>
#include <tuple>

namespace friendlinks {
namespace {

using Computed = std::array<QString, kHidingPropertyCount>;

// Farther than this to the left or top (or indented this far) is off the page.
constexpr double kOffPagePx = -999;
// A class list this long is cut in a fact's element text.
constexpr qsizetype kMaxWhereLength = 80;

const QHash<QString, HidingProperty> kLonghands = {
    {"display", HidingProperty::Display},
    {"visibility", HidingProperty::Visibility},
    {"font-size", HidingProperty::FontSize},
    {"text-indent", HidingProperty::TextIndent},
    {"position", HidingProperty::Position},
    {"left", HidingProperty::Left},
    {"top", HidingProperty::Top},
    {"height", HidingProperty::Height},
    {"width", HidingProperty::Width},
    {"overflow-x", HidingProperty::OverflowX},
    {"overflow-y", HidingProperty::OverflowY},
    {"color", HidingProperty::Color},
    {"background-color", HidingProperty::BackgroundColor},
};

const QStringList kWideKeywords = {"inherit", "initial", "unset", "revert", "revert-layer"};

// Elements a browser shows inline unless told otherwise: height and width do nothing on them.
const QSet<QString> kInlineTags = {"a", "abbr", "b", "bdi", "bdo", "big", "cite", "code", "dfn", "em", "font",
                                   "i", "kbd", "label", "mark", "q", "s", "samp", "small", "span", "strike",
                                   "strong", "sub", "sup", "time", "tt", "u", "var"};

int indexOf(HidingProperty property)
{
    return int(property);
}

// value cut at sep where it is outside parentheses, empty pieces left out.
QStringList splitOutside(const QString &value, QChar sep)
{
    QStringList parts;
    int depth = 0;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= value.size(); ++i) {
        const QChar c = i < value.size() ? value[i] : sep;
        if (c == u'(')
            ++depth;
        else if (c == u')' && depth > 0)
            --depth;
        if (c == sep && depth == 0) {
            const QString part = value.mid(start, i - start).trimmed();
            if (!part.isEmpty())
                parts.append(part);
            start = i + 1;
        }
    }
    return parts;
}

// The font-size part of a font shorthand: the first size or length, before any "/line-height".
QString fontSizeOf(const QString &font)
{
    static const QStringList kSizeWords = {"xx-small", "x-small", "small", "medium", "large", "x-large",
                                           "xx-large", "xxx-large", "smaller", "larger"};
    if (kWideKeywords.contains(font))
        return font;
    QString spaced = font;
    spaced.replace(QLatin1String(" /"), QLatin1String("/")).replace(QLatin1String("/ "), QLatin1String("/"));
    for (const QString &token : splitOutside(spaced, u' ')) {
        const QString size = token.section(u'/', 0, 0);
        if (kSizeWords.contains(size) || isZeroLength(size) || cssLengthPx(size) || size.endsWith(u'%'))
            return size;
    }
    return QStringLiteral("medium"); // a system font ("caption", "menu" ...) or one not read: not zero
}

// The colour of a background shorthand's last layer; transparent when it names none. A word
// that is neither a colour read here nor another part of the shorthand is kept as the colour,
// which then counts as unknown: "hsl(0,0%,100%)" is not taken for transparent.
QString backgroundColorOf(const QString &background)
{
    static const QStringList kOtherWords = {
        "repeat", "repeat-x", "repeat-y", "no-repeat", "space", "round", "scroll", "fixed", "local", "top",
        "bottom", "left", "right", "center", "cover", "contain", "auto", "border-box", "padding-box",
        "content-box", "text", "none", "/"};
    if (kWideKeywords.contains(background))
        return background;
    const QStringList layers = splitOutside(background, u',');
    QString color = QStringLiteral("transparent");
    for (const QString &token : splitOutside(layers.isEmpty() ? QString() : layers.last(), u' ')) {
        if (cssColor(token))
            color = token;
        else if (!kOtherWords.contains(token) && !token.startsWith(QLatin1String("url(")) && !token.contains(u'/')
                 && !token.contains(QLatin1String("gradient(")) && !cssLengthPx(token) && !token.endsWith(u'%'))
            return token;
    }
    return color;
}

void addOverflow(const QString &value, bool important, QList<HidingDeclaration> &out)
{
    const QStringList parts = value.split(u' ', Qt::SkipEmptyParts);
    if (parts.size() != 1 && parts.size() != 2)
        return;
    out.append({HidingProperty::OverflowX, parts.first(), important});
    out.append({HidingProperty::OverflowY, parts.last(), important});
}

QString describe(const StyledElement &element)
{
    QString where = element.tag.isEmpty() ? QStringLiteral("*") : element.tag;
    if (!element.id.isEmpty())
        where += u'#' + element.id;
    for (const QString &name : element.classes)
        where += u'.' + name;
    return where.left(kMaxWhereLength);
}

bool isOneOf(const QString &value, std::initializer_list<const char *> words)
{
    for (const char *word : words)
        if (value == QLatin1String(word))
            return true;
    return false;
}

} // namespace

QList<HidingDeclaration> hidingDeclarations(const QList<StyleDeclaration> &declarations)
{
    QList<HidingDeclaration> out;
    for (const StyleDeclaration &declaration : declarations) {
        const QString value = declaration.value.simplified().toLower();
        const auto longhand = kLonghands.constFind(declaration.property);
        if (longhand != kLonghands.cend())
            out.append({*longhand, value, declaration.important});
        else if (declaration.property == QLatin1String("overflow"))
            addOverflow(value, declaration.important, out);
        else if (declaration.property == QLatin1String("font"))
            out.append({HidingProperty::FontSize, fontSizeOf(value), declaration.important});
        else if (declaration.property == QLatin1String("background"))
            out.append({HidingProperty::BackgroundColor, backgroundColorOf(value), declaration.important});
    }
    return out;
}

QString HiddenBy::text() const
{
    return where.isEmpty() ? reason : reason + QStringLiteral(" (") + where + u')';
}

void StyleRules::addStyleSheet(QStringView css)
{
    for (const StyleRuleText &rule : readStyleSheet(css.left(kStyleSheetMaxChars))) {
        QList<HidingDeclaration> declarations = hidingDeclarations(rule.declarations);
        if (declarations.isEmpty())
            continue;
        const SelectorList selectors = readSelectorList(rule.selectors);
        if (selectors.selectors.isEmpty())
            continue;
        m_blocks.append(std::move(declarations));
        const int order = m_nextOrder++;
        for (const StyleSelector &selector : selectors.selectors)
            m_rules.append({selector, m_blocks.size() - 1, order});
    }
    // Short selectors first: the cascade does not depend on the order rules are matched in (their
    // own order is in the rank), and long ones then cannot use up the budget before them.
    std::stable_sort(m_rules.begin(), m_rules.end(), [](const Rule &a, const Rule &b) {
        return a.selector.compounds.size() < b.selector.compounds.size();
    });
}

Computed StyleRules::computed(const QList<StyledElement> &chain, qsizetype index, qint64 &budget) const
{
    // Cascade order: !important, a style attribute, specificity, order.
    using Rank = std::tuple<bool, bool, int, int>;
    Computed values;
    std::array<Rank, kHidingPropertyCount> ranks{};
    const auto offer = [&](const HidingDeclaration &declaration, const Rank &rank) {
        const int at = indexOf(declaration.property);
        if (values[size_t(at)].isEmpty() || ranks[size_t(at)] <= rank) {
            values[size_t(at)] = declaration.value;
            ranks[size_t(at)] = rank;
        }
    };
    for (const Rule &rule : m_rules) {
        if (!selectorMatches(rule.selector, chain, index, &budget))
            continue;
        for (const HidingDeclaration &declaration : m_blocks[rule.block])
            offer(declaration, {declaration.important, false, rule.selector.specificity, rule.order});
    }
    const QList<HidingDeclaration> inlineStyle = hidingDeclarations(readDeclarations(chain[index].style));
    for (qsizetype i = 0; i < inlineStyle.size(); ++i)
        offer(inlineStyle[i], {inlineStyle[i].important, true, 0, int(i)});
    return values;
}

namespace {

const QString &value(const Computed &values, HidingProperty property)
{
    return values[size_t(indexOf(property))];
}

// A cause that hides this element's box and everything in it, or nothing.
std::optional<QString> boxReason(const Computed &values, const StyledElement &element)
{
    const QString &display = value(values, HidingProperty::Display);
    if (display == QLatin1String("none"))
        return QStringLiteral("display:none");
    if (display.isEmpty() && element.hidden)
        return QStringLiteral("hidden attribute");
    const QString &position = value(values, HidingProperty::Position);
    if (isOneOf(position, {"absolute", "fixed"})) {
        for (const HidingProperty side : {HidingProperty::Left, HidingProperty::Top}) {
            const std::optional<double> offset = cssLengthPx(value(values, side));
            if (offset && *offset <= kOffPagePx)
                return QStringLiteral("position:%1;%2:%3")
                    .arg(position, side == HidingProperty::Left ? QStringLiteral("left") : QStringLiteral("top"),
                         value(values, side));
        }
    }
    const bool sized = display.isEmpty() ? !kInlineTags.contains(element.tag)
                                         : !isOneOf(display, {"inline", "contents"});
    if (!sized)
        return std::nullopt;
    const auto clips = [&](HidingProperty overflow) { return isOneOf(value(values, overflow), {"hidden", "clip"}); };
    if (isZeroLength(value(values, HidingProperty::Height)) && clips(HidingProperty::OverflowY))
        return QStringLiteral("height:%1;overflow:%2")
            .arg(value(values, HidingProperty::Height), value(values, HidingProperty::OverflowY));
    if (isZeroLength(value(values, HidingProperty::Width)) && clips(HidingProperty::OverflowX))
        return QStringLiteral("width:%1;overflow:%2")
            .arg(value(values, HidingProperty::Width), value(values, HidingProperty::OverflowX));
    return std::nullopt;
}

// An inherited property as it comes down the chain: what it says where it was last declared.
struct Inherited {
    QString reason; // empty: it does not hide
    qsizetype element = -1;

    void take(const QString &declared, qsizetype at, const std::optional<QString> &hides)
    {
        if (declared.isEmpty() || isOneOf(declared, {"inherit", "unset"}))
            return;
        reason = hides.value_or(QString());
        element = at;
    }
};

std::optional<QString> visibilityHides(const QString &visibility)
{
    if (isOneOf(visibility, {"hidden", "collapse"}))
        return QStringLiteral("visibility:") + visibility;
    return std::nullopt;
}

std::optional<QString> textIndentHides(const QString &indent)
{
    const std::optional<double> length = cssLengthPx(indent.section(u' ', 0, 0));
    if (length && *length <= kOffPagePx)
        return QStringLiteral("text-indent:") + indent;
    return std::nullopt;
}

// A font size relative to the parent's ("1.2em", "90%"): 0 stays 0.
bool isRelativeSize(const QString &size)
{
    return size.endsWith(u'%') || (size.endsWith(QLatin1String("em")) && !size.endsWith(QLatin1String("rem")))
           || size.endsWith(QLatin1String("ex")) || size.endsWith(QLatin1String("ch"));
}

void takeFontSize(Inherited &font, const QString &size, qsizetype at)
{
    if (size.isEmpty() || isOneOf(size, {"inherit", "unset"}) || (isRelativeSize(size) && !isZeroLength(size)))
        return;
    font.reason = isZeroLength(size) ? QStringLiteral("font-size:") + size : QString();
    font.element = at;
}

// What the inherited properties say at the link (the last element), or nothing.
std::optional<Inherited> inheritedReason(const QList<Computed> &all)
{
    Inherited visibility;
    Inherited font;
    Inherited indent;
    for (qsizetype i = 0; i < all.size(); ++i) {
        const QString &shown = value(all[i], HidingProperty::Visibility);
        visibility.take(shown, i, visibilityHides(shown));
        takeFontSize(font, value(all[i], HidingProperty::FontSize), i);
        const QString &indented = value(all[i], HidingProperty::TextIndent);
        indent.take(indented, i, textIndentHides(indented));
    }
    for (const Inherited *property : {&visibility, &font, &indent})
        if (!property->reason.isEmpty())
            return *property;
    return std::nullopt;
}

// The colour of the link's text: its own, or the browser's link blue; "inherit" takes its parent's.
std::optional<CssColor> linkColor(const QList<Computed> &all)
{
    qsizetype at = all.size() - 1;
    QString color = value(all[at], HidingProperty::Color);
    if (color.isEmpty())
        color = QStringLiteral("#0000ee");
    while (isOneOf(color, {"inherit", "unset", "currentcolor"})) {
        do {
            --at;
            color = at >= 0 ? value(all[at], HidingProperty::Color) : QStringLiteral("#000000");
        } while (at >= 0 && color.isEmpty());
    }
    return cssColor(color == QLatin1String("initial") ? QStringLiteral("#000000") : color);
}

// The opaque colour behind the link: the nearest background-color, else the page's white; nothing when unknown.
std::optional<CssColor> backgroundBehind(const QList<Computed> &all)
{
    for (qsizetype at = all.size() - 1; at >= 0; --at) {
        const QString &background = value(all[at], HidingProperty::BackgroundColor);
        if (background.isEmpty() || kWideKeywords.contains(background))
            continue;
        const std::optional<CssColor> color = cssColor(background);
        if (!color || (color->alpha > 0 && color->alpha < 1))
            return std::nullopt;
        if (color->alpha == 1)
            return color;
    }
    return CssColor{255, 255, 255, 1};
}

std::optional<QString> colorReason(const QList<Computed> &all)
{
    const std::optional<CssColor> color = linkColor(all);
    if (!color)
        return std::nullopt;
    if (color->alpha == 0)
        return QStringLiteral("color:transparent");
    if (color->alpha < 1)
        return std::nullopt;
    const std::optional<CssColor> background = backgroundBehind(all);
    if (!background || *background != *color)
        return std::nullopt;
    return QStringLiteral("color:%1 on %2").arg(color->text(), background->text());
}

} // namespace

std::optional<HiddenBy> StyleRules::hiddenBy(const QList<StyledElement> &chain) const
{
    if (chain.isEmpty())
        return std::nullopt;
    const qsizetype offset = std::max<qsizetype>(0, chain.size() - kStyleChainMaxDepth);
    const QList<StyledElement> near = offset > 0 ? chain.mid(offset) : chain;
    QList<Computed> all;
    all.reserve(near.size());
    qint64 budget = kStyleMatchBudget;
    for (qsizetype i = 0; i < near.size(); ++i)
        all.append(computed(near, i, budget));
    const auto found = [&](const QString &reason, qsizetype at) {
        return HiddenBy{reason, at + offset, describe(near[at])};
    };
    for (qsizetype i = 0; i < near.size(); ++i)
        if (const std::optional<QString> reason = boxReason(all[i], near[i]))
            return found(*reason, i);
    if (const std::optional<Inherited> inherited = inheritedReason(all))
        return found(inherited->reason, inherited->element);
    if (const std::optional<QString> reason = colorReason(all))
        return found(*reason, near.size() - 1);
    return std::nullopt;
}

} // namespace friendlinks
