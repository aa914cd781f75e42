#include "probes/StyleValues.h"

#include <QHash>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <cctype>
#include <cmath>

namespace friendlinks {
namespace {

// Pixels per unit; the font-relative units at the browsers' default 16px.
const QHash<QString, double> kPixelsPer = {
    {"px", 1},        {"pt", 96.0 / 72}, {"pc", 16},  {"in", 96},  {"cm", 96 / 2.54}, {"mm", 96 / 25.4},
    {"q", 96 / 101.6}, {"em", 16},        {"rem", 16}, {"ex", 8},   {"ch", 8},
};

// The colour names pages use; a name not here is not compared.
const QHash<QString, unsigned> kNamedColors = {
    {"black", 0x000000},     {"silver", 0xc0c0c0},     {"gray", 0x808080},      {"grey", 0x808080},
    {"white", 0xffffff},     {"maroon", 0x800000},     {"red", 0xff0000},       {"purple", 0x800080},
    {"fuchsia", 0xff00ff},   {"magenta", 0xff00ff},    {"green", 0x008000},     {"lime", 0x00ff00},
    {"olive", 0x808000},     {"yellow", 0xffff00},     {"navy", 0x000080},      {"blue", 0x0000ff},
    {"teal", 0x008080},      {"aqua", 0x00ffff},       {"cyan", 0x00ffff},      {"orange", 0xffa500},
    {"whitesmoke", 0xf5f5f5}, {"snow", 0xfffafa},      {"ivory", 0xfffff0},     {"ghostwhite", 0xf8f8ff},
    {"floralwhite", 0xfffaf0}, {"linen", 0xfaf0e6},    {"seashell", 0xfff5ee},  {"beige", 0xf5f5dc},
    {"gainsboro", 0xdcdcdc}, {"lightgray", 0xd3d3d3},  {"lightgrey", 0xd3d3d3}, {"darkgray", 0xa9a9a9},
    {"darkgrey", 0xa9a9a9},  {"dimgray", 0x696969},    {"dimgrey", 0x696969},   {"azure", 0xf0ffff},
    {"aliceblue", 0xf0f8ff}, {"honeydew", 0xf0fff0},   {"mintcream", 0xf5fffa}, {"lavenderblush", 0xfff0f5},
    {"oldlace", 0xfdf5e6},   {"cornsilk", 0xfff8dc},   {"lightyellow", 0xffffe0}, {"mistyrose", 0xffe4e1},
    {"pink", 0xffc0cb},      {"darkred", 0x8b0000},    {"darkblue", 0x00008b},  {"darkgreen", 0x006400},
    {"lightblue", 0xadd8e6}, {"brown", 0xa52a2a},      {"gold", 0xffd700},
};

struct Dimension {
    double number = 0;
    QString unit;
};

std::optional<Dimension> dimension(QStringView value)
{
    static const QRegularExpression kDimension(
        QStringLiteral("^([+-]?(?:\\d+\\.?\\d*|\\.\\d+)(?:e[+-]?\\d+)?)([a-z%]*)$"));
    const QRegularExpressionMatch match = kDimension.match(value.trimmed().toString().toLower());
    if (!match.hasMatch())
        return std::nullopt;
    bool ok = false;
    const double number = match.captured(1).toDouble(&ok);
    if (!ok || !std::isfinite(number))
        return std::nullopt;
    return Dimension{number, match.captured(2)};
}

std::optional<int> hexByte(QStringView digits)
{
    for (const QChar c : digits)
        if (c.unicode() >= 0x80 || !std::isxdigit(static_cast<unsigned char>(c.toLatin1())))
            return std::nullopt;
    const int value = digits.toInt(nullptr, 16);
    return digits.size() == 1 ? value * 17 : value;
}

std::optional<CssColor> hexColor(QStringView hex)
{
    if (hex.size() != 3 && hex.size() != 4 && hex.size() != 6 && hex.size() != 8)
        return std::nullopt;
    const qsizetype width = hex.size() <= 4 ? 1 : 2;
    int channels[4] = {0, 0, 0, 255};
    for (qsizetype i = 0; i * width < hex.size(); ++i) {
        const std::optional<int> byte = hexByte(hex.sliced(i * width, width));
        if (!byte)
            return std::nullopt;
        channels[i] = *byte;
    }
    return CssColor{channels[0], channels[1], channels[2], channels[3] / 255.0};
}

std::optional<double> channel(QStringView token, double full)
{
    const std::optional<Dimension> part = dimension(token);
    if (!part || (!part->unit.isEmpty() && part->unit != QLatin1String("%")))
        return std::nullopt;
    const double value = part->unit.isEmpty() ? part->number : part->number * full / 100;
    return std::clamp(value, 0.0, full);
}

std::optional<CssColor> functionColor(QStringView value)
{
    const qsizetype open = value.indexOf(u'(');
    if (!value.endsWith(u')') || open < 0)
        return std::nullopt;
    QString inside = value.sliced(open + 1, value.size() - open - 2).toString();
    inside.replace(u',', u' ').replace(u'/', u' ');
    const QStringList tokens = inside.split(u' ', Qt::SkipEmptyParts);
    if (tokens.size() != 3 && tokens.size() != 4)
        return std::nullopt;
    CssColor color;
    int *const rgb[3] = {&color.red, &color.green, &color.blue};
    for (int i = 0; i < 3; ++i) {
        const std::optional<double> part = channel(tokens[i], 255);
        if (!part)
            return std::nullopt;
        *rgb[i] = int(std::lround(*part));
    }
    if (tokens.size() == 4) {
        const std::optional<double> alpha = channel(tokens[3], 1);
        if (!alpha)
            return std::nullopt;
        color.alpha = *alpha;
    }
    return color;
}

} // namespace

std::optional<double> cssLengthPx(QStringView value)
{
    const std::optional<Dimension> length = dimension(value);
    if (!length)
        return std::nullopt;
    if (length->unit.isEmpty())
        return length->number == 0 ? std::optional<double>(0) : std::nullopt;
    const auto factor = kPixelsPer.constFind(length->unit);
    if (factor == kPixelsPer.cend())
        return std::nullopt;
    return length->number * *factor;
}

bool isZeroLength(QStringView value)
{
    const std::optional<Dimension> length = dimension(value);
    return length && length->number == 0
           && (length->unit.isEmpty() || length->unit == QLatin1String("%") || kPixelsPer.contains(length->unit)
               || length->unit == QLatin1String("vw") || length->unit == QLatin1String("vh"));
}

QString CssColor::text() const
{
    if (alpha <= 0)
        return QStringLiteral("transparent");
    return QStringLiteral("#%1%2%3")
        .arg(red, 2, 16, QLatin1Char('0'))
        .arg(green, 2, 16, QLatin1Char('0'))
        .arg(blue, 2, 16, QLatin1Char('0'));
}

std::optional<CssColor> cssColor(QStringView value)
{
    const QString lower = value.trimmed().toString().toLower();
    if (lower.startsWith(u'#'))
        return hexColor(QStringView(lower).sliced(1));
    if (lower.startsWith(QLatin1String("rgb(")) || lower.startsWith(QLatin1String("rgba(")))
        return functionColor(lower);
    if (lower == QLatin1String("transparent"))
        return CssColor{0, 0, 0, 0};
    const auto named = kNamedColors.constFind(lower);
    if (named == kNamedColors.cend())
        return std::nullopt;
    return CssColor{int(*named >> 16), int((*named >> 8) & 0xff), int(*named & 0xff), 1};
}

} // namespace friendlinks
