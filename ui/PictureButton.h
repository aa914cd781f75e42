#pragma once

#include <QPixmap>
#include <QPushButton>

namespace friendlinks {

// A push button with a picture face, as the old graphical buttons drew it:
// the face keeps its own pixel size (scaled with the screen's dpi) and the
// button shows its middle, cropped to the button's rounded box, with the
// caption on top. A pressed face, when given, shows while the button is down.
class PictureButton : public QPushButton {
    Q_OBJECT
public:
    PictureButton(const QString &text, QPixmap face, QPixmap pressedFace, QWidget *parent = nullptr);

    [[nodiscard]] const QPixmap &face() const { return m_face; }
    // Room kept free at the left of the caption (for a picture on the face there).
    void setCaptionInset(int pixels) { m_captionInset = pixels; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap m_face;
    QPixmap m_pressedFace;
    int m_captionInset = 0;
};

} // namespace friendlinks
