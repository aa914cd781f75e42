#include "assets/Assets.h"

// Outside any namespace, as Q_INIT_RESOURCE needs; the pictures live in a static library.
static void registerAssets()
{
    Q_INIT_RESOURCE(assets);
}

namespace friendlinks::assets {

namespace {

void ensureRegistered()
{
    static const bool registered = (registerAssets(), true);
    (void)registered;
}

} // namespace

QPixmap picture(const char *path)
{
    ensureRegistered();
    return QPixmap(QString::fromLatin1(path));
}

QIcon windowIcon()
{
    ensureRegistered();
    QIcon icon;
    for (int size : {16, 24, 32, 48})
        icon.addFile(QStringLiteral(":/assets/icon-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace friendlinks::assets
