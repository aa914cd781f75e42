#include "app/BaiduAgeSetting.h"

#include "app/HistorySetting.h"
#include "app/ModeSetting.h"
#include "check/CheckEngine.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

namespace friendlinks {
BaiduAgeSetting::BaiduAgeSetting(CheckEngine *engine, const HistorySetting *history, QMenu *menu, QObject *parent)
    : QObject(parent)
    , m_engine(engine)
    , m_history(history)
{
    m_menu = menu->addMenu(kBaiduMaxAgeCaption);
    m_menu->setObjectName(QStringLiteral("baiduMaxAge"));
    m_menu->setToolTip(QStringLiteral("在此时间内查过的百度结果直接沿用，不再查询百度；下次查询起生效"));
    auto *group = new QActionGroup(m_menu);
    const int remembered = windowSettings().value(QLatin1String(kBaiduMaxAgeSetting), 0).toInt();
    for (const BaiduAgeChoice &choice : kBaiduAgeChoices) {
        QAction *action = m_menu->addAction(QString::fromUtf8(choice.caption));
        action->setCheckable(true);
        action->setData(qint64(choice.minutes) * 60 * 1000);
        action->setChecked(choice.minutes == remembered);
        group->addAction(action);
        connect(action, &QAction::triggered, this, [this, minutes = choice.minutes] {
            windowSettings().setValue(QLatin1String(kBaiduMaxAgeSetting), minutes);
            apply();
        });
    }
    if (!group->checkedAction())
        group->actions().first()->setChecked(true);
    // Answers go to the history only while it records.
    connect(history->recordAction(), &QAction::toggled, this, &BaiduAgeSetting::apply);
    apply();
}

QList<QAction *> BaiduAgeSetting::choices() const
{
    return m_menu->actions();
}

void BaiduAgeSetting::setCommandLineAge(qint64 ageMs)
{
    m_commandLineAgeMs = ageMs;
    apply();
}

void BaiduAgeSetting::apply()
{
    qint64 ageMs = 0;
    for (const QAction *action : choices())
        if (action->isChecked())
            ageMs = action->data().toLongLong();
    ageMs = m_commandLineAgeMs.value_or(ageMs);
    m_engine->setBaiduAnswers(ageMs, m_history->recordAction()->isChecked() ? m_history->path() : QString());
}

} // namespace friendlinks
