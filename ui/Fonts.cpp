#include "ui/Fonts.h"

#include <QFontDatabase>

#include <span>

namespace friendlinks {

namespace {

// In order of preference. The Song/Ming faces keep the serif strokes and the
// tighter line height of 宋体, so the texts keep their sizes in their boxes.
constexpr const char *kSongFaces[] = {
    "SimSun", "宋体", "NSimSun", "新宋体",
    "AR PL UMing CN", "AR PL UMing TW", "AR PL UMing HK", "AR PL SungtiL GB", "AR PL Mingti2L Big5",
    "Noto Serif CJK SC", "Source Han Serif SC", "Source Han Serif CN",
};
constexpr const char *kSansFaces[] = {
    "WenQuanYi Zen Hei", "Noto Sans CJK SC", "Source Han Sans SC", "WenQuanYi Micro Hei", "Droid Sans Fallback",
};

} // namespace

QString songFamily(const QStringList &installed)
{
    for (const auto &faces : {std::span<const char *const>(kSongFaces), std::span<const char *const>(kSansFaces)}) {
        for (const char *face : faces) {
            const QString name = QString::fromUtf8(face);
            if (installed.contains(name, Qt::CaseInsensitive))
                return name;
        }
    }
    // Nothing known is installed: let the font system pick its own CJK fallback.
    return QString::fromUtf8(kSongFaces[0]);
}

QFont songFont(double pointSize, bool bold)
{
    static const QString family = songFamily(QFontDatabase::families());
    QFont font(family);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

} // namespace friendlinks
