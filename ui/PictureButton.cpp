#include "ui/PictureButton.h"

#include <QPainter>
#include <QPainterPath>

namespace friendlinks {

PictureButton::PictureButton(const QString &text, QPixmap face, QPixmap pressedFace, QWidget *parent)
    : QPushButton(text, parent)
    , m_face(std::move(face))
    , m_pressedFace(std::move(pressedFace))
{
}

void PictureButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal scale = logicalDpiX() / 96.0;
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath outline;
    outline.addRoundedRect(box, 3 * scale, 3 * scale);

    const QPixmap &face = isDown() && !m_pressedFace.isNull() ? m_pressedFace : m_face;
    if (face.isNull()) {
        p.fillPath(outline, palette().button());
    } else {
        const QSize size = (QSizeF(face.size()) * scale).toSize();
        // Whole pixels, the way the face was laid out for its middle.
        const QPoint at((width() - size.width()) / 2, (height() - size.height()) / 2);
        p.save();
        p.setClipPath(outline);
        p.drawPixmap(QRect(at, size), face);
        p.restore();
    }
    p.setPen(QPen(QColor(14, 50, 104), 1));
    p.drawPath(outline);

    // The caption; a warm tint shows the keyboard focus.
    p.setFont(font());
    p.setPen(hasFocus() ? QColor(255, 236, 160) : QColor(Qt::white));
    const QRect captionBox = rect().adjusted(qRound(m_captionInset * scale), 0, 0, 0);
    p.drawText(captionBox, Qt::AlignCenter | Qt::TextShowMnemonic, text());
}

} // namespace friendlinks
