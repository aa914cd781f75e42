#include "probes/CharacterReferences.h"

#include <QLatin1StringView>

#include <array>

namespace friendlinks {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

// The names browsers read without ";": amp lt gt quot and these, U+00A0 to U+00FF in order.
constexpr std::array<const char *, 96> kLatin1Names = {
    "nbsp",   "iexcl",  "cent",   "pound", "curren", "yen",    "brvbar", "sect",   "uml",    "copy",   "ordf",
    "laquo",  "not",    "shy",    "reg",   "macr",   "deg",    "plusmn", "sup2",   "sup3",   "acute",  "micro",
    "para",   "middot", "cedil",  "sup1",  "ordm",   "raquo",  "frac14", "frac12", "frac34", "iquest", "Agrave",
    "Aacute", "Acirc",  "Atilde", "Auml",  "Aring",  "AElig",  "Ccedil", "Egrave", "Eacute", "Ecirc",  "Euml",
    "Igrave", "Iacute", "Icirc",  "Iuml",  "ETH",    "Ntilde", "Ograve", "Oacute", "Ocirc",  "Otilde", "Ouml",
    "times",  "Oslash", "Ugrave", "Uacute", "Ucirc", "Uuml",   "Yacute", "THORN",  "szlig",  "agrave", "aacute",
    "acirc",  "atilde", "auml",   "aring", "aelig",  "ccedil", "egrave", "eacute", "ecirc",  "euml",   "igrave",
    "iacute", "icirc",  "iuml",   "eth",   "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide",
    "oslash", "ugrave", "uacute", "ucirc", "uuml",   "yacute", "thorn",  "yuml",
};

struct NamedReference {
    const char *name;
    char16_t character;
    bool legacy; // also read without the ";"
};

// Outside the Latin-1 block: the old names of ASCII, and common ones that need ";".
constexpr std::array<NamedReference, 42> kOtherNames = {{
    {"amp", u'&', true},       {"AMP", u'&', true},        {"lt", u'<', true},         {"LT", u'<', true},
    {"gt", u'>', true},        {"GT", u'>', true},         {"quot", u'"', true},       {"QUOT", u'"', true},
    {"COPY", 0xA9, true},      {"REG", 0xAE, true},        {"apos", u'\'', false},     {"colon", u':', false},
    {"sol", u'/', false},      {"period", u'.', false},    {"comma", u',', false},     {"excl", u'!', false},
    {"quest", u'?', false},    {"num", u'#', false},       {"equals", u'=', false},    {"lpar", u'(', false},
    {"rpar", u')', false},     {"Tab", u'\t', false},      {"NewLine", u'\n', false},  {"hellip", 0x2026, false},
    {"mdash", 0x2014, false},  {"ndash", 0x2013, false},   {"lsquo", 0x2018, false},   {"rsquo", 0x2019, false},
    {"ldquo", 0x201C, false},  {"rdquo", 0x201D, false},   {"bull", 0x2022, false},    {"euro", 0x20AC, false},
    {"trade", 0x2122, false},  {"larr", 0x2190, false},    {"rarr", 0x2192, false},    {"notin", 0x2209, false},
    {"ensp", 0x2002, false},   {"emsp", 0x2003, false},    {"thinsp", 0x2009, false},  {"zwnj", 0x200C, false},
    {"zwj", 0x200D, false},    {"hearts", 0x2665, false},
}};

// 128-159 as browsers read them (windows-1252); 0 where the code stays as it is.
constexpr std::array<char16_t, 32> kWindows1252 = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

bool isAsciiAlnum(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9');
}

void appendCodePoint(QString &out, char32_t code)
{
    if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        code = kReplacement;
    else if (code >= 0x80 && code <= 0x9F && kWindows1252[code - 0x80] != 0)
        code = kWindows1252[code - 0x80];
    out.append(QString::fromUcs4(&code, 1));
}

// Reads a numeric reference at text[at] == '#'; returns the end, or -1.
qsizetype numericReference(QStringView text, qsizetype at, QString &out)
{
    qsizetype i = at + 1;
    const bool hex = i < text.size() && (text[i] == u'x' || text[i] == u'X');
    if (hex)
        ++i;
    const qsizetype digitsStart = i;
    char32_t code = 0;
    for (; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        int digit = -1;
        if (u >= '0' && u <= '9')
            digit = u - '0';
        else if (hex && u >= 'a' && u <= 'f')
            digit = u - 'a' + 10;
        else if (hex && u >= 'A' && u <= 'F')
            digit = u - 'A' + 10;
        if (digit < 0)
            break;
        code = code > 0x10FFFF ? code : code * (hex ? 16 : 10) + char32_t(digit);
    }
    if (i == digitsStart)
        return -1;
    appendCodePoint(out, code);
    return i < text.size() && text[i] == u';' ? i + 1 : i;
}

struct Match {
    qsizetype length = 0; // of the name, without ";"
    bool semicolon = false;
    char16_t character = 0;
};

// Keeps the longer of best and name when text starts with it (with ";" when it must have one).
void consider(QStringView text, QLatin1StringView name, char16_t character, bool legacy, Match &best)
{
    if (name.size() < best.length || !text.startsWith(name))
        return;
    const bool semicolon = text.size() > name.size() && text[name.size()] == u';';
    if ((semicolon || legacy) && (name.size() > best.length || semicolon))
        best = {name.size(), semicolon, character};
}

// Reads a named reference at text[at] (just after "&"); returns the end, or -1.
qsizetype namedReference(QStringView text, qsizetype at, QString &out, ReferenceContext context)
{
    const QStringView rest = text.sliced(at);
    Match best;
    for (std::size_t i = 0; i < kLatin1Names.size(); ++i)
        consider(rest, QLatin1StringView(kLatin1Names[i]), char16_t(0xA0 + i), true, best);
    for (const NamedReference &ref : kOtherNames)
        consider(rest, QLatin1StringView(ref.name), ref.character, ref.legacy, best);
    if (best.length == 0)
        return -1;
    const qsizetype end = at + best.length;
    // In an attribute a name without ";" followed by a letter, digit or "=" is no reference.
    if (!best.semicolon && context == ReferenceContext::Attribute && end < text.size()
        && (isAsciiAlnum(text[end]) || text[end] == u'='))
        return -1;
    out.append(QChar(best.character));
    return best.semicolon ? end + 1 : end;
}

} // namespace

QString decodeCharacterReferences(QStringView text, ReferenceContext context)
{
    qsizetype amp = text.indexOf(u'&');
    if (amp < 0)
        return text.toString();
    QString out;
    out.reserve(text.size());
    qsizetype from = 0;
    while (amp >= 0) {
        out.append(text.sliced(from, amp - from));
        qsizetype end = -1;
        if (amp + 1 < text.size()) {
            end = text[amp + 1] == u'#' ? numericReference(text, amp + 1, out)
                                        : namedReference(text, amp + 1, out, context);
        }
        if (end < 0) {
            out.append(u'&');
            end = amp + 1;
        }
        from = end;
        amp = text.indexOf(u'&', from);
    }
    out.append(text.sliced(from));
    return out;
}

} // namespace friendlinks
