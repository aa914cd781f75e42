#pragma once

#include <QFont>

namespace friendlinks {

// 宋体 where installed, else a CJK font that is.
[[nodiscard]] QFont songFont(double pointSize, bool bold);

} // namespace friendlinks
