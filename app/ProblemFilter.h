#pragma once

#include <QObject>

class QAction;
class QWidget;

namespace friendlinks {

class MessageArea;
class ResultsSortProxy;

// The check item "只看有问题的行" in the list's menu (Ctrl+F anywhere in the
// window): the list shows only the rows with a red cell, the message line's
// right end how many of how many ("只看有问题的行：3/20 行"). Remembered in the
// window's settings for the next start.
class ProblemFilter : public QObject {
    Q_OBJECT
public:
    ProblemFilter(ResultsSortProxy *proxy, MessageArea *area, QWidget *window, QObject *parent = nullptr);

    [[nodiscard]] QAction *action() const { return m_action; }

private:
    void showCount();

    ResultsSortProxy *m_proxy;
    MessageArea *m_area;
    QAction *m_action = nullptr;
};

inline constexpr char kProblemsOnlySetting[] = "list/problemsOnly";
inline const QString kProblemsOnlyCaption = QStringLiteral("只看有问题的行");

} // namespace friendlinks
