#pragma once

#include <QPixmap>
#include <QSize>

namespace friendlinks {

// The banner picture for a strip of size: scaled to the strip's height with
// its aspect kept (at the designed size it fills the strip exactly), centred,
// the room on either side filled with its own outer edge, so a wider window
// shows the picture as designed, neither stretched nor cut.
[[nodiscard]] QPixmap centredBanner(const QPixmap &picture, QSize size);

} // namespace friendlinks
