#pragma once

#include <QFont>
#include <QStringList>

namespace friendlinks {

// The family that stands for 宋体 among the installed ones: SimSun itself, else
// a Song (Ming) face such as AR PL UMing, and only then a sans CJK face.
[[nodiscard]] QString songFamily(const QStringList &installed);

// 宋体 (or its stand-in) at the given point size.
[[nodiscard]] QFont songFont(double pointSize, bool bold);

} // namespace friendlinks
