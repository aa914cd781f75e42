#include "probes/StyleSheetReader.h"

#include <QRegularExpression>
#include <QStringList>

namespace friendlinks {
namespace {

// @media inside @media this deep at most; deeper rules are left out.
constexpr int kMaxNesting = 4;

// The index after a quoted string that starts at text[at]; a string ends at its quote, a line end or the text's end.
qsizetype afterString(QStringView text, qsizetype at)
{
    const QChar quote = text[at];
    for (++at; at < text.size(); ++at) {
        const QChar c = text[at];
        if (c == u'\\')
            ++at;
        else if (c == quote)
            return at + 1;
        else if (c == u'\n')
            return at;
    }
    return text.size();
}

// The text without its comments ("/* ... */", one left open runs to the end); strings are kept whole.
QString withoutComments(QStringView css)
{
    QString out;
    out.reserve(css.size());
    qsizetype at = 0;
    while (at < css.size()) {
        const QChar c = css[at];
        if (c == u'"' || c == u'\'') {
            const qsizetype end = afterString(css, at);
            out.append(css.sliced(at, end - at));
            at = end;
        } else if (c == u'/' && at + 1 < css.size() && css[at + 1] == u'*') {
            const qsizetype close = css.indexOf(QLatin1String("*/"), at + 2);
            at = close < 0 ? css.size() : close + 2;
            out.append(u' ');
        } else {
            out.append(c);
            ++at;
        }
    }
    return out;
}

// The first of stops at text[from...] outside strings and parentheses, or the text's size.
qsizetype findOutside(QStringView text, qsizetype from, QStringView stops)
{
    int depth = 0;
    qsizetype at = from;
    while (at < text.size()) {
        const QChar c = text[at];
        if (c == u'"' || c == u'\'') {
            at = afterString(text, at);
            continue;
        }
        if (c == u'(')
            ++depth;
        else if (c == u')' && depth > 0)
            --depth;
        else if (depth == 0 && stops.contains(c))
            return at;
        ++at;
    }
    return text.size();
}

// The index of the "}" that closes the block opened at text[open], or the text's size.
qsizetype blockEnd(QStringView text, qsizetype open)
{
    int depth = 0;
    qsizetype at = open;
    while (at < text.size()) {
        const QChar c = text[at];
        if (c == u'"' || c == u'\'') {
            at = afterString(text, at);
            continue;
        }
        if (c == u'{')
            ++depth;
        else if (c == u'}' && --depth == 0)
            return at;
        ++at;
    }
    return text.size();
}

bool appliesOnScreen(QStringView query)
{
    static const QStringList kScreen = {QString(), "all", "screen", "only screen", "only all"};
    const QString lower = query.toString().simplified().toLower();
    for (const QStringView part : QStringView(lower).split(u','))
        if (kScreen.contains(part.trimmed().toString()))
            return true;
    return false;
}

void readRules(QStringView css, int nesting, QList<StyleRuleText> &rules);

// The at-rule at css[at]; gives the index after it.
qsizetype readAtRule(QStringView css, qsizetype at, int nesting, QList<StyleRuleText> &rules)
{
    const qsizetype end = findOutside(css, at, u"{;");
    if (end >= css.size() || css[end] == u';')
        return end + 1;
    const qsizetype close = blockEnd(css, end);
    const QStringView prelude = css.sliced(at + 1, end - at - 1);
    qsizetype nameEnd = 0;
    while (nameEnd < prelude.size() && (prelude[nameEnd].isLetter() || prelude[nameEnd] == u'-'))
        ++nameEnd;
    if (prelude.left(nameEnd).compare(QLatin1String("media"), Qt::CaseInsensitive) == 0 && nesting < kMaxNesting
        && appliesOnScreen(prelude.sliced(nameEnd)))
        readRules(css.sliced(end + 1, close - end - 1), nesting + 1, rules);
    return close + 1;
}

void readRules(QStringView css, int nesting, QList<StyleRuleText> &rules)
{
    qsizetype at = 0;
    while (at < css.size()) {
        const QChar c = css[at];
        if (c.isSpace() || c == u'}' || c == u';') {
            ++at;
        } else if (css.sliced(at).startsWith(QLatin1String("<!--"))) {
            at += 4;
        } else if (css.sliced(at).startsWith(QLatin1String("-->"))) {
            at += 3;
        } else if (c == u'@') {
            at = readAtRule(css, at, nesting, rules);
        } else {
            const qsizetype open = findOutside(css, at, u"{");
            if (open >= css.size())
                return;
            const qsizetype close = blockEnd(css, open);
            rules.append({css.sliced(at, open - at).trimmed().toString(),
                          readDeclarations(css.sliced(open + 1, std::max<qsizetype>(close - open - 1, 0)))});
            at = close + 1;
        }
    }
}

bool isPropertyName(QStringView name)
{
    if (name.isEmpty())
        return false;
    for (const QChar c : name)
        if (!(c.isLetterOrNumber() && c.unicode() < 0x80) && c != u'-' && c != u'_')
            return false;
    return true;
}

void addDeclaration(QStringView text, QList<StyleDeclaration> &declarations)
{
    static const QRegularExpression kImportant(QStringLiteral("!\\s*important\\s*$"),
                                               QRegularExpression::CaseInsensitiveOption);
    const qsizetype colon = text.indexOf(u':');
    if (colon < 0)
        return;
    const QString property = text.left(colon).trimmed().toString().toLower();
    QString value = text.sliced(colon + 1).trimmed().toString();
    const QRegularExpressionMatch important = kImportant.match(value);
    if (important.hasMatch())
        value = value.left(important.capturedStart()).trimmed();
    if (!isPropertyName(property) || value.isEmpty())
        return;
    declarations.append({property, value, important.hasMatch()});
}

} // namespace

QList<StyleRuleText> readStyleSheet(QStringView css)
{
    const QString text = withoutComments(css);
    QList<StyleRuleText> rules;
    readRules(text, 0, rules);
    return rules;
}

QList<StyleDeclaration> readDeclarations(QStringView block)
{
    const QString text = withoutComments(block);
    const QStringView view(text);
    QList<StyleDeclaration> declarations;
    qsizetype start = 0;
    while (start < view.size()) {
        const qsizetype end = findOutside(view, start, u";{");
        if (end < view.size() && view[end] == u'{') {
            // A nested rule: its prelude and block are no declaration.
            start = blockEnd(view, end) + 1;
            continue;
        }
        addDeclaration(view.sliced(start, end - start), declarations);
        start = end + 1;
    }
    return declarations;
}

} // namespace friendlinks
