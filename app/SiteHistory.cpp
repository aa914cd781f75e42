#include "app/SiteHistory.h"

#include "app/ModeSetting.h"
#include "check/CheckEngine.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStringListModel>

namespace friendlinks {
namespace {

// What tells two sites apart in the list: "WWW.A.com/" is "www.a.com".
QString sameSiteKey(const QString &site)
{
    QString key = site.trimmed().toLower();
    while (key.endsWith(QLatin1Char('/')))
        key.chop(1);
    return key;
}

} // namespace

QStringList withRecentSite(QStringList list, const QString &site, int max)
{
    const QString trimmed = site.trimmed();
    if (trimmed.isEmpty())
        return list;
    const QString key = sameSiteKey(trimmed);
    list.removeIf([&key](const QString &known) { return sameSiteKey(known) == key; });
    list.prepend(trimmed);
    if (list.size() > max)
        list.resize(max);
    return list;
}

SiteHistory::SiteHistory(QLineEdit *siteBox, CheckEngine *engine, QObject *parent)
    : QObject(parent)
    , m_box(siteBox)
{
    QStringList remembered = windowSettings().value(QLatin1String(kRecentSitesSetting)).toStringList();
    remembered.removeAll(QString());
    if (remembered.size() > kMaxRecentSites)
        remembered.resize(kMaxRecentSites);
    m_model = new QStringListModel(remembered, this);
    m_completer = new QCompleter(m_model, this);
    m_completer->setCaseSensitivity(Qt::CaseInsensitive);
    m_completer->setFilterMode(Qt::MatchContains);
    m_completer->setMaxVisibleItems(kMaxRecentSites);
    m_box->setCompleter(m_completer);
    m_box->installEventFilter(this);
    if (!remembered.isEmpty())
        m_box->setText(remembered.first());
    connect(engine, &CheckEngine::siteFinished, this, [this](const SiteResult &result) {
        if (result.outcome.reachable)
            remember(result.outcome.site);
    });
}

QStringList SiteHistory::sites() const
{
    return m_model->stringList();
}

void SiteHistory::remember(const QString &site)
{
    const QStringList list = withRecentSite(m_model->stringList(), site);
    m_model->setStringList(list);
    windowSettings().setValue(QLatin1String(kRecentSitesSetting), list);
}

void SiteHistory::showAll()
{
    if (m_model->rowCount() == 0)
        return;
    m_completer->setCompletionPrefix(QString());
    m_completer->complete();
}

bool SiteHistory::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_box && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Down && !m_completer->popup()->isVisible()) {
        showAll();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace friendlinks
