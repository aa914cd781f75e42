#include "app/ModeSetting.h"

#include "check/CheckEngine.h"
#include "check/Messages.h"

#include <QAction>

namespace friendlinks {
namespace {

// The user's choice of mode is read at start and written on each change.
bool rememberedModern()
{
    return windowSettings().value(QLatin1String(kModernModeSetting), false).toBool();
}

void rememberModern(bool modern)
{
    windowSettings().setValue(QLatin1String(kModernModeSetting), modern);
}

} // namespace

QSettings windowSettings()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, kSettingsOrganization, kSettingsApplication);
}

ModeSetting::ModeSetting(CheckEngine *engine, QObject *parent)
    : QObject(parent)
{
    m_modern = new QAction(kModernModeCaption, this);
    m_modern->setObjectName(QStringLiteral("modernMode"));
    m_modern->setCheckable(true);
    // --modern asks for it this time; else the user's last choice (classic at the first start).
    if (!engine->settings().modern && rememberedModern())
        engine->setModern(true);
    m_modern->setChecked(engine->settings().modern);
    m_modern->setToolTip(QStringLiteral("按浏览器的方式读网页，列出 https 友链，按主机名认反链，"
                                        "出错页、nofollow 和隐藏的反链标红；下次查询起生效"));
    connect(m_modern, &QAction::toggled, engine, &CheckEngine::setModern);
    connect(m_modern, &QAction::toggled, this, &rememberModern);
}

} // namespace friendlinks
