#pragma once

#include <QObject>
#include <QStringList>

class QCompleter;
class QLineEdit;
class QStringListModel;

namespace friendlinks {

class CheckEngine;

// "My sites": the site box remembers the last sites checked (kMaxRecentSites,
// the latest first, in the window's settings) and offers them as completion
// while typing, all of them on the Down key. At start the box holds the last
// one; on a first start it keeps its design text.
class SiteHistory : public QObject {
    Q_OBJECT
public:
    SiteHistory(QLineEdit *siteBox, CheckEngine *engine, QObject *parent = nullptr);

    [[nodiscard]] QStringList sites() const;
    [[nodiscard]] QCompleter *completer() const { return m_completer; }
    // Puts site in front of the list (a check of it has ended) and stores the list.
    void remember(const QString &site);
    // Shows every remembered site below the box.
    void showAll();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLineEdit *m_box;
    QStringListModel *m_model = nullptr;
    QCompleter *m_completer = nullptr;
};

inline constexpr int kMaxRecentSites = 20;
inline constexpr char kRecentSitesSetting[] = "window/recentSites";

// list with site in front, once (a repeat moved, letter case of the host and a
// trailing "/" not telling two apart), at most max long.
[[nodiscard]] QStringList withRecentSite(QStringList list, const QString &site, int max = kMaxRecentSites);

} // namespace friendlinks
