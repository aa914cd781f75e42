#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include <optional>

class QAction;
class QMenu;

namespace friendlinks {

class CheckEngine;
class HistorySetting;

// How long a Baidu answer serves the window's checks: the sub-menu
// "百度结果有效期" of the list's menu (每次查询, 12 小时, 1 天), remembered in the
// window's settings beside the mode. From the next query on, a row whose
// friend Baidu answered within that time takes the answer kept in the history
// (while 记录历史 is on; else only the check's own) and sends no query.
class BaiduAgeSetting : public QObject {
    Q_OBJECT
public:
    // Adds the sub-menu to menu; history says where answers are kept and whether it records.
    BaiduAgeSetting(CheckEngine *engine, const HistorySetting *history, QMenu *menu, QObject *parent = nullptr);

    [[nodiscard]] QMenu *menu() const { return m_menu; }
    // The choices in the menu's order, each's data its age in milliseconds.
    [[nodiscard]] QList<QAction *> choices() const;
    // --baidu-max-age given at start: it serves this run, whatever the menu says.
    void setCommandLineAge(qint64 ageMs);

private:
    void apply();

    CheckEngine *m_engine;
    const HistorySetting *m_history;
    QMenu *m_menu = nullptr;
    std::optional<qint64> m_commandLineAgeMs;
};

inline constexpr char kBaiduMaxAgeSetting[] = "check/baiduMaxAgeMinutes";

// The choices of the sub-menu (and of 设置…), in order.
struct BaiduAgeChoice {
    const char *caption;
    int minutes;
};
inline constexpr BaiduAgeChoice kBaiduAgeChoices[] = {{"每次查询", 0}, {"12 小时", 12 * 60}, {"1 天", 24 * 60}};
inline const QString kBaiduMaxAgeCaption = QStringLiteral("百度结果有效期");

} // namespace friendlinks
