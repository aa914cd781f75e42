#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

namespace friendlinks {

// The pictures drawn by make_assets and compiled in from assets.qrc.
// Each accessor registers the resources first, so no caller has to.
namespace assets {

inline constexpr char kBackground[] = ":/assets/background.jpg";      // Form2's Image2, 831 x 541
inline constexpr char kStrip[] = ":/assets/strip.png";                // the launcher's Picture5 strips, 730 x 34
inline constexpr char kBanner[] = ":/assets/banner.png";              // the bottom strip Frame1
inline constexpr char kQueryFace[] = ":/assets/query.png";            // Form2's Command1, 100 x 47
inline constexpr char kQueryFacePressed[] = ":/assets/query_pressed.png";
inline constexpr char kSearchFace[] = ":/assets/search.png";          // Form9's Command1, 182 x 42
inline constexpr char kSearchFacePressed[] = ":/assets/search_pressed.png";

// A picture by its resource path; a null pixmap when it is missing.
[[nodiscard]] QPixmap picture(const char *path);
// The window icon with its 16, 24, 32 and 48 pixel sizes.
[[nodiscard]] QIcon windowIcon();

} // namespace assets
} // namespace friendlinks
