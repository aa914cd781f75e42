#pragma once

#include "check/RowProbe.h"
#include "check/WorkerPool.h"

#include <QHash>

namespace friendlinks {

// The friend's robots.txt: may Baidu's spider read the friend's page? Asked
// once per friend host and check (the rows of one host share the answer),
// through the pool like any fetch: at most kRobotsMaxChars read, redirects
// followed as crawlers follow them (kRobotsMaxRedirects). Fills the robots
// fact in both modes; in modern mode a link back the file keeps from Baidu
// turns the back-link cell red ("robots.txt 禁止百度抓取").
class RobotsProbe final : public RowProbe {
public:
    RobotsProbe(WorkerPool &pool, WorkerPool::Client &client, bool modern, QString site);

    QString name() const override { return QStringLiteral("robots"); }
    QString fetches() const override { return QStringLiteral("the friend's robots.txt, once per host"); }
    QStringList fills() const override { return {QStringLiteral("robots")}; }
    void clear(ResultRow &row) const override;
    void run(const RowContext &row, std::function<void(const ProbeResult &)> done) override;

    // The robots.txt address of the host a page address is on, and the path
    // and query the rules are matched against ("/" when empty).
    [[nodiscard]] static QString robotsAddress(const QString &pageAddress);
    [[nodiscard]] static QString rulesPath(const QString &pageAddress);

private:
    struct Waiter {
        QString path;
        std::function<void(const ProbeResult &)> done;
    };
    // One host's robots.txt: asked, or answered with the verdicts of the paths asked so far.
    struct HostRobots {
        bool asking = false;
        std::vector<Waiter> waiters;
        QHash<QString, RobotsFacts> verdicts; // by path
    };

    void ask(const QString &robotsUrl, int worker);
    void answered(const QString &robotsUrl, const FetchResult &answer);
    [[nodiscard]] ProbeResult probed(const RobotsFacts &facts) const;

    WorkerPool &m_pool;
    WorkerPool::Client &m_client;
    bool m_modern = false;
    QString m_site;
    QHash<QString, HostRobots> m_hosts; // by robots.txt address
};

} // namespace friendlinks
