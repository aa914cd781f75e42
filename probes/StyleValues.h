#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace friendlinks {

// A CSS length in CSS pixels: absolute units converted, em, rem, ex and ch
// taken at a 16px font (the browsers' default), a unitless 0 as 0. Nothing for
// percentages, viewport units, calc() and anything else (their size depends on
// what is around the element).
[[nodiscard]] std::optional<double> cssLengthPx(QStringView value);

// True for a length or percentage of zero in any unit ("0", "0px", "0%", "-0.0em").
[[nodiscard]] bool isZeroLength(QStringView value);

// A colour as sRGB and an opacity from 0 to 1.
struct CssColor {
    int red = 0;
    int green = 0;
    int blue = 0;
    double alpha = 1;

    [[nodiscard]] bool operator==(const CssColor &) const = default;
    // "#rrggbb", or "transparent" when fully transparent.
    [[nodiscard]] QString text() const;
};

// A colour written as "#rgb", "#rgba", "#rrggbb", "#rrggbbaa", rgb()/rgba()
// (commas or blanks, numbers or percentages, an alpha after "/" or a fourth
// comma), "transparent", or one of the common colour names; nothing for any
// other form (hsl(), system colours, var()): such a colour is not compared.
[[nodiscard]] std::optional<CssColor> cssColor(QStringView value);

} // namespace friendlinks
