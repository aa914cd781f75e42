#include "app/ModernModeUi.h"

#include "check/CheckEngine.h"
#include "check/CheckMode.h"
#include "ui/Fonts.h"
#include "web/FetchFailure.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QStringList>
#include <QTreeWidget>

namespace friendlinks {

ModernModeUi::ModernModeUi(CheckEngine *engine, QTreeWidget *list, QWidget *bannerStrip, int reservedRight,
                           QObject *parent)
    : QObject(parent)
    , m_engine(engine)
{
    m_menu = new QMenu(list);
    m_menu->setObjectName(QStringLiteral("listMenu"));
    m_modern = m_menu->addAction(kModernModeCaption);
    m_modern->setObjectName(QStringLiteral("modernMode"));
    m_modern->setCheckable(true);
    m_modern->setChecked(engine->settings().modern);
    m_modern->setToolTip(QStringLiteral("列出 https 友链，按主机名认反链，按网页声明的编码读取；下次查询起生效"));
    // The running check keeps its mode; the next press of the query button takes the new one.
    connect(m_modern, &QAction::toggled, engine, &CheckEngine::setModern);

    list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list, &QWidget::customContextMenuRequested, m_menu,
            [this, list](const QPoint &at) { m_menu->popup(list->viewport()->mapToGlobal(at)); });

    m_note = new QLabel(bannerStrip);
    m_note->setObjectName(QStringLiteral("bannerNote"));
    m_note->setGeometry(6, 0, std::max(0, bannerStrip->width() - reservedRight - 6), bannerStrip->height());
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
    if (m_engine->home().status >= 400 && m_engine->home().failure == FetchResult::Failure::None)
        notes << homePageTrouble(m_engine->home());
    if (m_engine->isBaiduBlocked())
        notes << kBaiduBlockedMessage;
    if (const int unlisted = m_engine->unlistedHttpsLinks(); unlisted > 0)
        notes << unlistedHttpsWindowHint(unlisted);
    if (const QString baidu = m_engine->baiduTlsError(); !baidu.isEmpty())
        notes << baiduTlsNote(baidu, m_engine->settings().insecure);
    if (!notes.isEmpty())
        showNote(notes.join(QStringLiteral("；")));
}

void ModernModeUi::onSiteUnreachable()
{
    const QString trouble = m_engine->siteTlsError();
    if (!trouble.isEmpty())
        showNote(QStringLiteral("证书不可信：%1（可用 --ca-file 加入证书颁发机构，或用 --insecure 启动照样读取）").arg(trouble));
    else if (const QString cause = homePageTrouble(m_engine->home()); !cause.isEmpty())
        showNote(QStringLiteral("%1：%2").arg(kUnreachableMessage, cause)); // the message box says only the first part
}

} // namespace friendlinks
