// make_assets OUTDIR: draws the window's pictures (background, banner strip,
// the launcher's strip, both buttons' faces, the window icon in four sizes) with QPainter and writes them as PNG files. Run it again
// after changing a drawing: `make assets`. Everything here is our own artwork.
#include <QDir>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>

namespace {

// The banner is drawn at twice its on-screen size so it stays sharp on dense screens;
// the other pictures have sizes of their own.
constexpr int kScale = 2;

QString cjkFamily()
{
    const QStringList families = QFontDatabase::families();
    for (const char *name : {"SimSun", "宋体", "WenQuanYi Zen Hei"}) {
        if (families.contains(QString::fromUtf8(name)))
            return QString::fromUtf8(name);
    }
    return QStringLiteral("WenQuanYi Zen Hei");
}

QImage canvas(int width, int height)
{
    QImage image(width * kScale, height * kScale, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// A magnifying glass: ring and handle, centred in box.
void drawMagnifier(QPainter &p, const QRectF &box, const QColor &color)
{
    const qreal r = box.width() * 0.3;
    const QPointF c(box.left() + box.width() * 0.42, box.top() + box.height() * 0.42);
    p.setPen(QPen(color, box.width() * 0.12, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, r, r);
    p.setPen(QPen(color, box.width() * 0.16, Qt::SolidLine, Qt::RoundCap));
    const qreal d = r * 0.7071;
    p.drawLine(QPointF(c.x() + d * 1.15, c.y() + d * 1.15), QPointF(box.right() - box.width() * 0.1, box.bottom() - box.height() * 0.1));
}

// The strip along the bottom of the window: 737 x 20 at 96 dpi.
QImage banner()
{
    QImage image = canvas(737, 20);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(kScale, kScale);
    QLinearGradient g(0, 0, 737, 0);
    g.setColorAt(0, QColor(18, 62, 128));
    g.setColorAt(0.6, QColor(46, 112, 186));
    g.setColorAt(1, QColor(120, 178, 230));
    p.fillRect(QRectF(0, 0, 737, 20), g);
    // A few soft rings on the right for some depth.
    p.setPen(QPen(QColor(255, 255, 255, 40), 1.2));
    for (int i = 0; i < 6; ++i)
        p.drawEllipse(QPointF(560 + i * 32, 10), 14 + i * 3, 14 + i * 3);
    p.fillRect(QRectF(0, 0, 737, 1), QColor(255, 255, 255, 90));
    drawMagnifier(p, QRectF(6, 3, 14, 14), Qt::white);
    QFont font(cjkFamily());
    font.setPixelSize(12);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(26, 0, 600, 20), Qt::AlignVCenter | Qt::AlignLeft,
               QStringLiteral("友链卫士 · 一键检查友情链接的反链、收录与快照"));
    return image;
}

// A button face of faceSize pixels for a button of shownSize pixels. The button
// shows the middle of its face at the face's own size, so the look (gradient,
// gloss, the magnifier) is laid out in that middle and the rest carries on the
// gradient: the face stays whole and clean whatever of it a button crops.
QImage buttonFace(QSize faceSize, QSize shownSize, bool pressed, bool magnifier)
{
    QImage image(faceSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF shown(QPointF((faceSize.width() - shownSize.width()) / 2, (faceSize.height() - shownSize.height()) / 2),
                       QSizeF(shownSize));
    QLinearGradient g(0, shown.top(), 0, shown.bottom());
    g.setColorAt(0, pressed ? QColor(30, 84, 150) : QColor(104, 170, 228));
    g.setColorAt(1, pressed ? QColor(18, 60, 120) : QColor(24, 78, 150));
    p.fillRect(image.rect(), g);
    if (!pressed) {
        QPainterPath gloss;
        gloss.addRoundedRect(QRectF(0, shown.top() + 1, faceSize.width(), shown.height() * 0.42), 3, 3);
        p.fillPath(gloss, QColor(255, 255, 255, 50));
    }
    if (magnifier)
        drawMagnifier(p, QRectF(shown.left() + 5, shown.top() + 6, 13, 13), Qt::white);
    return image;
}

// Form2's background picture: light, in the banner's blues, with the banner's
// soft rings; the controls stand on it, so it stays quiet. Opaque, and kept as
// JPEG: it decodes in a fifth of the time its PNG took, at the window's start.
QImage background()
{
    QImage image(831, 541, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, 541);
    g.setColorAt(0, QColor(248, 251, 255));
    g.setColorAt(0.2, QColor(233, 241, 251));
    g.setColorAt(1, QColor(196, 215, 240));
    p.fillRect(image.rect(), g);
    QLinearGradient sheen(0, 0, 831, 0);
    sheen.setColorAt(0, QColor(255, 255, 255, 0));
    sheen.setColorAt(0.7, QColor(255, 255, 255, 0));
    sheen.setColorAt(1, QColor(255, 255, 255, 90));
    p.fillRect(image.rect(), sheen);
    p.setPen(QPen(QColor(46, 112, 186, 26), 1.5));
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 7; ++i)
        p.drawEllipse(QPointF(690 + i * 18, 80), 24 + i * 9, 24 + i * 9);
    for (int i = 0; i < 5; ++i)
        p.drawEllipse(QPointF(120 + i * 22, 470), 30 + i * 10, 30 + i * 10);
    p.end();
    return image.convertToFormat(QImage::Format_RGB32);
}

// The launcher's strip picture: a light bar, the same along its whole length,
// since the launcher shows two strips side by side at different offsets.
QImage strip()
{
    QImage image(730, 34, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    QLinearGradient g(0, 0, 0, 34);
    g.setColorAt(0, QColor(255, 255, 255));
    g.setColorAt(0.5, QColor(238, 244, 252));
    g.setColorAt(1, QColor(214, 228, 246));
    p.fillRect(image.rect(), g);
    p.fillRect(QRect(0, 5, 730, 1), QColor(255, 255, 255));
    p.fillRect(QRect(0, 27, 730, 1), QColor(184, 204, 232));
    return image;
}

// The window icon, a blue tile with two linked rings, drawn for one size.
QImage windowIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);
    QLinearGradient g(0, 0, 0, 64);
    g.setColorAt(0, QColor(90, 160, 224));
    g.setColorAt(1, QColor(18, 62, 128));
    QPainterPath tile;
    tile.addRoundedRect(QRectF(2, 2, 60, 60), 12, 12);
    p.fillPath(tile, g);
    // Small sizes get thicker rings, so they still read as rings.
    const qreal pen = size <= 16 ? 9 : size <= 24 ? 7.5 : 6;
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, pen));
    p.drawEllipse(QRectF(10, 18, 26, 26));
    p.setPen(QPen(QColor(255, 214, 90), pen));
    p.drawEllipse(QRectF(28, 18, 26, 26));
    // Redraw a bit of the first ring over the second, so they interlock.
    p.setPen(QPen(Qt::white, pen));
    p.drawArc(QRectF(10, 18, 26, 26), -30 * 16, 60 * 16);
    return image;
}

} // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(out);
    const struct {
        const char *name;
        QImage image;
        int quality = -1; // the format's default
    } pictures[] = {
        {"banner.png", banner()},
        {"background.jpg", background(), 95},
        {"strip.png", strip()},
        // Form2's Command1 is 65 x 25 pixels, Form9's 49 x 23 (at 96 dpi).
        {"query.png", buttonFace({100, 47}, {65, 25}, false, true)},
        {"query_pressed.png", buttonFace({100, 47}, {65, 25}, true, true)},
        {"search.png", buttonFace({182, 42}, {49, 23}, false, false)},
        {"search_pressed.png", buttonFace({182, 42}, {49, 23}, true, false)},
        {"icon-16.png", windowIcon(16)},
        {"icon-24.png", windowIcon(24)},
        {"icon-32.png", windowIcon(32)},
        {"icon-48.png", windowIcon(48)},
    };
    for (const auto &picture : pictures) {
        const QString path = out + QLatin1Char('/') + QString::fromLatin1(picture.name);
        if (!picture.image.save(path, nullptr, picture.quality)) {
            std::fprintf(stderr, "make_assets: cannot write %s\n", qPrintable(path));
            return 1;
        }
        std::printf("%s\n", qPrintable(path));
    }
    return 0;
}
