#include "ui/Fonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace friendlinks {

QFont songFont(double pointSize, bool bold)
{
    static const QString family = [] {
        const QStringList families = QFontDatabase::families();
        for (const char *name : {"SimSun", "宋体", "WenQuanYi Zen Hei"}) {
            const QString n = QString::fromUtf8(name);
            if (families.contains(n))
                return n;
        }
        return QStringLiteral("WenQuanYi Zen Hei");
    }();
    QFont font(family);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

} // namespace friendlinks
