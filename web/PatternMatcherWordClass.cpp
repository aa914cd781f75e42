#include "web/PatternMatcherWordClass.h"

#include <QList>

#include <algorithm>

namespace friendlinks {
namespace {

const QString kWordOutside = QStringLiteral("(?-i:[0-9A-Za-z_])");
const QString kNonWordOutside = QStringLiteral("(?-i:[^0-9A-Za-z_])");
const QString kWordInside = QStringLiteral("0-9A-Za-z_");
const QString kNonWordInside = QStringLiteral(R"(\x00-\x2F\x3A-\x40\x5B-\x5E\x60\x7B-\x{10FFFF})");

// One member of a bracket expression as written.
struct BracketItem {
    enum class Kind { Char, Word, NonWord, Other } kind = Kind::Other;
    QString text;      // as written
    char32_t code = 0; // for Char: the character
};

bool isAsciiLetter(char32_t c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// The length of the escape that starts at `at` (a backslash): "\p{Han}",
// "\x{41}" and "\pL" forms included.
qsizetype escapeLength(const QString &pattern, qsizetype at)
{
    if (at + 1 >= pattern.size())
        return pattern.size() - at;
    const QChar kind = pattern.at(at + 1);
    if ((kind == QLatin1Char('p') || kind == QLatin1Char('P') || kind == QLatin1Char('x'))
        && at + 2 < pattern.size() && pattern.at(at + 2) == QLatin1Char('{')) {
        const qsizetype close = pattern.indexOf(QLatin1Char('}'), at + 3);
        return close < 0 ? pattern.size() - at : close - at + 1;
    }
    if ((kind == QLatin1Char('p') || kind == QLatin1Char('P')) && at + 2 < pattern.size())
        return 3;
    return 2;
}

// Reads the bracket expression that opens at `at`; false when it never closes.
bool readBracket(const QString &pattern, qsizetype at, bool &negated, QList<BracketItem> &items, qsizetype &end)
{
    qsizetype i = at + 1;
    negated = i < pattern.size() && pattern.at(i) == QLatin1Char('^');
    if (negated)
        ++i;
    bool first = true;
    while (i < pattern.size()) {
        const QChar c = pattern.at(i);
        if (c == QLatin1Char(']') && !first) {
            end = i + 1;
            return true;
        }
        first = false;
        BracketItem item;
        if (c == QLatin1Char('\\')) {
            const qsizetype length = escapeLength(pattern, i);
            item.text = pattern.mid(i, length);
            if (item.text == QLatin1String("\\w"))
                item.kind = BracketItem::Kind::Word;
            else if (item.text == QLatin1String("\\W"))
                item.kind = BracketItem::Kind::NonWord;
            i += length;
        } else if (c == QLatin1Char('[') && i + 1 < pattern.size() && pattern.at(i + 1) == QLatin1Char(':')) {
            const qsizetype close = pattern.indexOf(QLatin1String(":]"), i + 2);
            const qsizetype length = close < 0 ? 1 : close + 2 - i;
            item.text = pattern.mid(i, length);
            i += length;
        } else {
            const qsizetype length = c.isHighSurrogate() && i + 1 < pattern.size() ? 2 : 1;
            item.kind = BracketItem::Kind::Char;
            item.text = pattern.mid(i, length);
            item.code = item.text.toUcs4().value(0);
            i += length;
        }
        items.append(item);
    }
    return false;
}

// The other letter case of c, when it has one that is not ASCII-crossing.
QString otherCases(char32_t c)
{
    QString out;
    for (const char32_t other : {QChar::toLower(c), QChar::toUpper(c)}) {
        if (other != c && isAsciiLetter(other) == isAsciiLetter(c))
            out += QString::fromUcs4(&other, 1);
    }
    return out;
}

// The other-case part of the range lo-hi within one letter case range.
QString otherCaseRange(char32_t lo, char32_t hi, char32_t first, char32_t last, int shift)
{
    const char32_t from = std::max(lo, first);
    const char32_t to = std::min(hi, last);
    if (from > to)
        return {};
    return QChar(char16_t(from + shift)) + QLatin1Char('-') + QChar(char16_t(to + shift));
}

// A bracket that holds \w or \W, rewritten to match case-sensitively, with
// the other case of its letters spelled out.
QString rewriteBracket(bool negated, const QList<BracketItem> &items)
{
    using Kind = BracketItem::Kind;
    QString out = QStringLiteral("(?-i:[");
    if (negated)
        out += QLatin1Char('^');
    for (qsizetype i = 0; i < items.size(); ++i) {
        const BracketItem &item = items[i];
        const bool classItem = item.kind == Kind::Word || item.kind == Kind::NonWord;
        if (classItem) {
            out += item.kind == Kind::Word ? kWordInside : kNonWordInside;
            // A hyphen right after a class is a plain hyphen, not a range.
            if (i + 1 < items.size() && items[i + 1].text == QLatin1String("-")) {
                out += QLatin1String("\\-");
                ++i;
            }
            continue;
        }
        const bool range = item.kind == Kind::Char && i + 2 < items.size()
                           && items[i + 1].text == QLatin1String("-") && items[i + 2].kind == Kind::Char;
        if (range) {
            const char32_t lo = item.code;
            const char32_t hi = items[i + 2].code;
            out += item.text + QLatin1Char('-') + items[i + 2].text;
            if (lo <= hi && hi < 0x80) {
                out += otherCaseRange(lo, hi, 'a', 'z', 'A' - 'a');
                out += otherCaseRange(lo, hi, 'A', 'Z', 'a' - 'A');
            }
            i += 2;
            continue;
        }
        out += item.text;
        if (item.kind == Kind::Char)
            out += otherCases(item.code);
    }
    return out + QStringLiteral("])");
}

} // namespace

QString asciiWordClasses(const QString &pattern)
{
    if (!pattern.contains(QLatin1String("\\w")) && !pattern.contains(QLatin1String("\\W")))
        return pattern;
    QString out;
    out.reserve(pattern.size() * 2);
    qsizetype i = 0;
    while (i < pattern.size()) {
        const QChar c = pattern.at(i);
        if (c == QLatin1Char('\\')) {
            if (pattern.mid(i, 2) == QLatin1String("\\Q")) {
                // Quoted text runs to \E (or the end) and holds no classes.
                const qsizetype close = pattern.indexOf(QLatin1String("\\E"), i + 2);
                const qsizetype length = close < 0 ? pattern.size() - i : close + 2 - i;
                out += pattern.mid(i, length);
                i += length;
                continue;
            }
            const qsizetype length = escapeLength(pattern, i);
            const QString escape = pattern.mid(i, length);
            if (escape == QLatin1String("\\w"))
                out += kWordOutside;
            else if (escape == QLatin1String("\\W"))
                out += kNonWordOutside;
            else
                out += escape;
            i += length;
            continue;
        }
        if (c == QLatin1Char('[')) {
            bool negated = false;
            QList<BracketItem> items;
            qsizetype end = 0;
            if (!readBracket(pattern, i, negated, items, end)) {
                out += pattern.mid(i); // never closes: the compiler reports it
                break;
            }
            const bool holdsClass = std::any_of(items.cbegin(), items.cend(), [](const BracketItem &item) {
                return item.kind == BracketItem::Kind::Word || item.kind == BracketItem::Kind::NonWord;
            });
            out += holdsClass ? rewriteBracket(negated, items) : pattern.mid(i, end - i);
            i = end;
            continue;
        }
        out += c;
        ++i;
    }
    return out;
}

} // namespace friendlinks
