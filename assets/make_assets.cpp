// make_assets OUTDIR: draws the window's pictures (banner strip, query button
// faces, window icon) with QPainter and writes them as PNG files. Run it again
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

// Pictures are drawn at twice their on-screen size so they stay sharp on dense screens.
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

// The query button's face, without its text (the button draws "查 询" on it): 65 x 25.
QImage buttonFace(bool pressed)
{
    QImage image = canvas(65, 25);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(kScale, kScale);
    const QRectF r(0.5, 0.5, 64, 24);
    QLinearGradient g(0, 0, 0, 25);
    g.setColorAt(0, pressed ? QColor(30, 84, 150) : QColor(104, 170, 228));
    g.setColorAt(1, pressed ? QColor(18, 60, 120) : QColor(24, 78, 150));
    QPainterPath path;
    path.addRoundedRect(r, 4, 4);
    p.fillPath(path, g);
    if (!pressed) {
        QPainterPath gloss;
        gloss.addRoundedRect(QRectF(1.5, 1.5, 62, 10), 3, 3);
        p.fillPath(gloss, QColor(255, 255, 255, 50));
    }
    p.setPen(QPen(QColor(14, 50, 104), 1));
    p.drawPath(path);
    drawMagnifier(p, QRectF(5, 6, 13, 13), Qt::white);
    return image;
}

// The window icon: a blue tile with two linked rings, 64 x 64.
QImage windowIcon()
{
    QImage image(64, 64, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, 64);
    g.setColorAt(0, QColor(90, 160, 224));
    g.setColorAt(1, QColor(18, 62, 128));
    QPainterPath tile;
    tile.addRoundedRect(QRectF(2, 2, 60, 60), 12, 12);
    p.fillPath(tile, g);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, 6));
    p.drawEllipse(QRectF(10, 18, 26, 26));
    p.setPen(QPen(QColor(255, 214, 90), 6));
    p.drawEllipse(QRectF(28, 18, 26, 26));
    // Redraw a bit of the first ring over the second, so they interlock.
    p.setPen(QPen(Qt::white, 6));
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
    } pictures[] = {
        {"banner.png", banner()},
        {"query.png", buttonFace(false)},
        {"query_pressed.png", buttonFace(true)},
        {"icon.png", windowIcon()},
    };
    for (const auto &picture : pictures) {
        const QString path = out + QLatin1Char('/') + QString::fromLatin1(picture.name);
        if (!picture.image.save(path)) {
            std::fprintf(stderr, "make_assets: cannot write %s\n", qPrintable(path));
            return 1;
        }
        std::printf("%s\n", qPrintable(path));
    }
    return 0;
}
