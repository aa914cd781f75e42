#pragma once

#include <QRect>

#include <cmath>

namespace friendlinks {

// Twips to pixels at the given logical dpi (15 twips are one pixel at 96 dpi).
[[nodiscard]] inline int twips(int value, int dpi = 96)
{
    return static_cast<int>(std::lround(value * dpi / 1440.0));
}

[[nodiscard]] inline QRect twipsRect(int left, int top, int width, int height, int dpi = 96)
{
    return {twips(left, dpi), twips(top, dpi), twips(width, dpi), twips(height, dpi)};
}

} // namespace friendlinks
