#pragma once

#include <QString>

namespace friendlinks {

// Display width of text in terminal columns (CJK and full-width characters
// take two; control characters and combining marks none).
[[nodiscard]] int displayWidth(const QString &text);

} // namespace friendlinks
