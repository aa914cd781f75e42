#include "check/DisplayWidth.h"

#include <QList>

namespace friendlinks {
namespace {

bool isWide(char32_t u)
{
    return (u >= 0x1100 && u <= 0x115F) || (u >= 0x2E80 && u <= 0x303E) || (u >= 0x3041 && u <= 0x33FF)
        || (u >= 0x3400 && u <= 0x4DBF) || (u >= 0x4E00 && u <= 0x9FFF) || (u >= 0xA000 && u <= 0xA4CF)
        || (u >= 0xAC00 && u <= 0xD7A3) || (u >= 0xF900 && u <= 0xFAFF) || (u >= 0xFE30 && u <= 0xFE4F)
        || (u >= 0xFF00 && u <= 0xFF60) || (u >= 0xFFE0 && u <= 0xFFE6) || (u >= 0x1F300 && u <= 0x1F64F)
        || (u >= 0x20000 && u <= 0x3FFFD);
}

} // namespace

int displayWidth(const QString &text)
{
    int width = 0;
    for (const char32_t u : text.toUcs4()) {
        if (u < 0x20 || u == 0x7F || (u >= 0x300 && u <= 0x36F) || u == 0x200B)
            continue;
        width += isWide(u) ? 2 : 1;
    }
    return width;
}

} // namespace friendlinks
