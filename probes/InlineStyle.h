#pragma once

#include <QStringView>

namespace friendlinks {

// True when a style attribute keeps its element from showing, as a browser
// reads the declarations: display:none or visibility:hidden, the last valid
// declaration of each winning unless an earlier one is !important
// ("display:none;display:inline" shows), comments ignored.
[[nodiscard]] bool inlineStyleHides(QStringView style);

} // namespace friendlinks
