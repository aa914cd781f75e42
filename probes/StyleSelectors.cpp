#include "probes/StyleSelectors.h"

#include <algorithm>
#include <vector>

namespace friendlinks {
namespace {

// Longer selectors are left out: no page needs them, and matching stays cheap.
constexpr qsizetype kMaxCompounds = 32;

enum class Reading { Read, Unsupported, Invalid };

bool isNameChar(QChar c)
{
    return c.unicode() >= 0x80 || c.isLetterOrNumber() || c == u'_' || c == u'-';
}

bool isNameStart(QChar c)
{
    return c.unicode() >= 0x80 || (c.isLetter() && c.unicode() < 0x80) || c == u'_';
}

// The identifier at text[at], or empty when none starts there ("1a", "-1", a lone "-").
QString readName(QStringView text, qsizetype &at)
{
    const qsizetype start = at;
    const bool dash = at < text.size() && text[at] == u'-';
    const qsizetype first = dash ? at + 1 : at;
    if (first >= text.size() || !(isNameStart(text[first]) || (dash && text[first] == u'-')))
        return {};
    at = first;
    while (at < text.size() && isNameChar(text[at]))
        ++at;
    return text.sliced(start, at - start).toString();
}

struct SelectorBuilder {
    StyleSelector selector;
    bool inCompound = false;
    bool combinatorPending = false;
    Combinator pending = Combinator::Descendant;

    SelectorCompound &compound()
    {
        if (!inCompound) {
            if (!selector.compounds.isEmpty())
                selector.combinators.append(combinatorPending ? pending : Combinator::Descendant);
            selector.compounds.append(SelectorCompound());
            inCompound = true;
            combinatorPending = false;
        }
        return selector.compounds.last();
    }
    Reading combinator(Combinator kind)
    {
        if (selector.compounds.isEmpty() || (kind == Combinator::Child && combinatorPending && pending == kind))
            return Reading::Invalid; // "> a", "a > > b"
        inCompound = false;
        if (kind == Combinator::Child || !combinatorPending)
            pending = kind;
        combinatorPending = true;
        return Reading::Read;
    }
};

// A "[...]", ":name", "+" or "~": valid, but of a kind not read here. Anything
// else that is no part of a simple selector makes the whole list invalid.
Reading otherPart(QStringView text, qsizetype at)
{
    const QChar c = text[at];
    if (c == u'[')
        return text.indexOf(u']', at) > at ? Reading::Unsupported : Reading::Invalid;
    if (c == u':' || c == u'+' || c == u'~' || c == u'\\' || c == u'|' || c == u'&')
        return Reading::Unsupported;
    return Reading::Invalid;
}

Reading readPart(QStringView text, qsizetype &at, SelectorBuilder &builder)
{
    const QChar c = text[at];
    if (c.isSpace()) {
        ++at;
        return builder.combinator(Combinator::Descendant);
    }
    if (c == u'>') {
        ++at;
        return builder.combinator(Combinator::Child);
    }
    if (c == u'*') {
        if (builder.inCompound)
            return Reading::Invalid;
        builder.compound();
        ++at;
        return Reading::Read;
    }
    if (c == u'.' || c == u'#') {
        qsizetype nameAt = at + 1;
        const QString name = readName(text, nameAt);
        if (name.isEmpty())
            return nameAt < text.size() && text[nameAt] == u'\\' ? Reading::Unsupported : Reading::Invalid;
        SelectorCompound &compound = builder.compound();
        if (c == u'.')
            compound.classes.append(name);
        else if (compound.id.isEmpty() || compound.id == name)
            compound.id = name;
        else
            compound.id = QStringLiteral("#"); // two different ids: matches no element
        at = nameAt;
        return Reading::Read;
    }
    if (isNameStart(c) || c == u'-') {
        const QString name = readName(text, at);
        if (name.isEmpty() || builder.inCompound)
            return Reading::Invalid;
        builder.compound().tag = name.toLower();
        return Reading::Read;
    }
    return otherPart(text, at);
}

int specificityOf(const StyleSelector &selector)
{
    int ids = 0;
    int classes = 0;
    int types = 0;
    for (const SelectorCompound &compound : selector.compounds) {
        ids += compound.id.isEmpty() ? 0 : 1;
        classes += int(compound.classes.size());
        types += compound.tag.isEmpty() ? 0 : 1;
    }
    return std::min(ids, 255) << 16 | std::min(classes, 255) << 8 | std::min(types, 255);
}

Reading readSelector(QStringView text, StyleSelector &out)
{
    text = text.trimmed();
    if (text.isEmpty())
        return Reading::Invalid;
    SelectorBuilder builder;
    qsizetype at = 0;
    while (at < text.size()) {
        const Reading reading = readPart(text, at, builder);
        if (reading != Reading::Read)
            return reading;
    }
    if (builder.combinatorPending)
        return Reading::Invalid; // "a >"
    if (builder.selector.compounds.size() > kMaxCompounds)
        return Reading::Unsupported;
    out = builder.selector;
    out.specificity = specificityOf(out);
    return Reading::Read;
}

// The list cut at its commas, leaving those inside brackets, parentheses and quotes.
QList<QStringView> splitList(QStringView text)
{
    QList<QStringView> parts;
    int depth = 0;
    QChar quote;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (c == u'(' || c == u'[') {
            ++depth;
        } else if ((c == u')' || c == u']') && depth > 0) {
            --depth;
        } else if (c == u',' && depth == 0) {
            parts.append(text.sliced(start, i - start));
            start = i + 1;
        }
    }
    parts.append(text.sliced(start));
    return parts;
}

bool compoundMatches(const SelectorCompound &compound, const StyledElement &element)
{
    if (!compound.tag.isEmpty() && compound.tag != element.tag)
        return false;
    if (!compound.id.isEmpty() && compound.id != element.id)
        return false;
    return std::all_of(compound.classes.cbegin(), compound.classes.cend(),
                       [&](const QString &name) { return element.classes.contains(name); });
}

} // namespace

StyledElement styledElement(const HtmlStartTag &tag)
{
    StyledElement element;
    element.tag = tag.name;
    if (const HtmlAttribute *id = tag.attribute(QLatin1StringView("id")))
        element.id = id->value;
    if (const HtmlAttribute *classes = tag.attribute(QLatin1StringView("class"))) {
        QString names = classes->value;
        for (QChar &c : names)
            if (c == u'\t' || c == u'\n' || c == u'\f' || c == u'\r')
                c = u' ';
        element.classes = names.split(u' ', Qt::SkipEmptyParts);
    }
    if (const HtmlAttribute *style = tag.attribute(QLatin1StringView("style")))
        element.style = style->value;
    element.hidden = tag.attribute(QLatin1StringView("hidden")) != nullptr;
    return element;
}

SelectorList readSelectorList(QStringView text)
{
    SelectorList list;
    for (const QStringView part : splitList(text)) {
        StyleSelector selector;
        switch (readSelector(part, selector)) {
        case Reading::Read:
            list.selectors.append(selector);
            break;
        case Reading::Unsupported:
            break;
        case Reading::Invalid:
            return {{}, true};
        }
    }
    return list;
}

bool selectorMatches(const StyleSelector &selector, const QList<StyledElement> &chain, qsizetype index,
                     qint64 *budget)
{
    const qsizetype last = selector.compounds.size() - 1;
    if (last < 0 || index < 0 || index >= chain.size() || !compoundMatches(selector.compounds[last], chain[index]))
        return false;
    if (last == 0)
        return true;
    if (index == 0)
        return false; // the root has no ancestors for the other compounds
    if (budget) {
        const qint64 cost = qint64(last) * index;
        if (*budget < cost)
            return false;
        *budget -= cost;
    }
    // Row k: which ancestors compound k can stand on with compounds 0..k matched above it;
    // "before" is whether any ancestor up to there does, for a descendant combinator.
    std::vector<char> row(size_t(index), 0);
    std::vector<char> before(size_t(index) + 1, 0);
    for (qsizetype k = 0; k < last; ++k) {
        std::vector<char> next(size_t(index), 0);
        for (qsizetype e = 0; e < index; ++e) {
            bool above = true;
            if (k > 0)
                above = selector.combinators[k - 1] == Combinator::Child ? (e > 0 && row[size_t(e - 1)])
                                                                          : before[size_t(e)] != 0;
            next[size_t(e)] = above && compoundMatches(selector.compounds[k], chain[e]);
        }
        row.swap(next);
        for (qsizetype e = 0; e < index; ++e)
            before[size_t(e + 1)] = before[size_t(e)] || row[size_t(e)];
    }
    return selector.combinators[last - 1] == Combinator::Child ? row[size_t(index - 1)] != 0
                                                               : before[size_t(index)] != 0;
}

} // namespace friendlinks
