#include "app/BannerPicture.h"

#include <QPainter>

namespace friendlinks {

QPixmap centredBanner(const QPixmap &picture, QSize size)
{
    QPixmap strip(size);
    strip.fill(Qt::transparent);
    if (picture.isNull() || size.isEmpty())
        return strip;
    const QPixmap scaled = picture.scaledToHeight(size.height(), Qt::SmoothTransformation);
    const int left = (size.width() - scaled.width()) / 2;
    QPainter painter(&strip);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    if (left > 0) {
        // The outer columns stretched across the sides: a plain continuation of the gradient.
        painter.drawPixmap(QRect(0, 0, left, size.height()), scaled, QRect(0, 0, 1, scaled.height()));
        const int right = left + scaled.width();
        painter.drawPixmap(QRect(right, 0, size.width() - right, size.height()), scaled,
                           QRect(scaled.width() - 1, 0, 1, scaled.height()));
    }
    painter.drawPixmap(left, 0, scaled);
    return strip;
}

} // namespace friendlinks
