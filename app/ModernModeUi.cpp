#include "app/ModernModeUi.h"

#include "check/CheckEngine.h"
#include "check/CheckMode.h"
#include "ui/Fonts.h"
#include "web/FetchFailure.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QSettings>
#include <QStringList>
#include <QAbstractItemView>

namespace friendlinks {
namespace {

// A classic check passed over friend links that a modern one lists.
QString classicSkipWindowHint(const QString &note)
{
    return QStringLiteral("%1，在列表右键菜单勾选“%2”一并检查").arg(note, kModernModeCaption);
}

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

ModernModeUi::ModernModeUi(CheckEngine *engine, QAbstractItemView *list, QWidget *bannerStrip, int reservedRight,
                           QObject *parent)
    : QObject(parent)
    , m_engine(engine)
{
    m_menu = new QMenu(list);
    m_menu->setObjectName(QStringLiteral("listMenu"));
    m_modern = m_menu->addAction(kModernModeCaption);
    m_modern->setObjectName(QStringLiteral("modernMode"));
    m_modern->setCheckable(true);
    // --modern asks for it this time; else the user's last choice (classic at the first start).
    if (!engine->settings().modern && rememberedModern())
        engine->setModern(true);
    m_modern->setChecked(engine->settings().modern);
    m_modern->setToolTip(QStringLiteral("按浏览器的方式读网页，列出 https 友链，按主机名认反链，"
                                        "出错页、nofollow 和隐藏的反链标红；下次查询起生效"));
    // The running check keeps its mode; the next press of the query button takes the new one.
    connect(m_modern, &QAction::toggled, engine, &CheckEngine::setModern);
    connect(m_modern, &QAction::toggled, this, &rememberModern);

    list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list, &QWidget::customContextMenuRequested, m_menu,
            [this, list](const QPoint &at) { m_menu->popup(list->viewport()->mapToGlobal(at)); });

    constexpr int kModeWidth = 64;
    m_modeNote = new QLabel(bannerStrip);
    m_modeNote->setObjectName(QStringLiteral("modeNote"));
    m_modeNote->setGeometry(std::max(0, bannerStrip->width() - reservedRight - kModeWidth), 0, kModeWidth,
                            bannerStrip->height());
    m_modeNote->setFont(songFont(9, false));
    m_modeNote->setStyleSheet(QStringLiteral("color: white;"));
    m_modeNote->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_modeNote->hide();
    connect(engine, &CheckEngine::started, m_modeNote, [this] {
        m_modeNote->setText(m_engine->listModern() ? kModernModeCaption : kClassicModeCaption);
        m_modeNote->show();
    });

    m_note = new QLabel(bannerStrip);
    m_note->setObjectName(QStringLiteral("bannerNote"));
    m_note->setGeometry(6, 0, std::max(0, bannerStrip->width() - reservedRight - kModeWidth - 12),
                        bannerStrip->height());
    m_note->setFont(songFont(9, false));
    m_note->setStyleSheet(QStringLiteral("color: white;"));
    m_note->hide();

    connect(engine, &CheckEngine::started, m_note, &QWidget::hide);
    connect(engine, &CheckEngine::siteUnreachable, this, &ModernModeUi::onSiteUnreachable);
    connect(engine, &CheckEngine::finished, this, &ModernModeUi::onFinished);
    connect(engine, &CheckEngine::baiduBlocked, this, [this] { showNote(kBaiduBlockedMessage); });
}

void ModernModeUi::showNote(const QString &text)
{
    m_note->setText(text);
    m_note->setToolTip(text);
    m_note->show();
}

void ModernModeUi::onFinished()
{
    QStringList notes;
    if (m_engine->home().status >= 400 && m_engine->home().kind == FetchResult::Kind::Page)
        notes << homePageTrouble(m_engine->home());
    if (m_engine->isBaiduBlocked())
        notes << kBaiduBlockedMessage;
    if (const QString note = m_engine->listModern() ? QString() : classicSkipNote(m_engine->skippedLinks());
        !note.isEmpty())
        notes << classicSkipWindowHint(note);
    if (const QString baidu = m_engine->baiduTlsError(); !baidu.isEmpty())
        notes << baiduTlsNote(baidu, m_engine->settings().insecure);
    if (!notes.isEmpty())
        showNote(notes.join(QStringLiteral("；")));
}

void ModernModeUi::onSiteUnreachable()
{
    const QString trouble = m_engine->siteTlsError();
    if (!trouble.isEmpty())
        showNote(untrustedCertificateNote(trouble));
    else if (const QString cause = homePageTrouble(m_engine->home()); !cause.isEmpty())
        showNote(QStringLiteral("%1：%2").arg(kUnreachableMessage, cause)); // the message box says only the first part
}

} // namespace friendlinks
