#pragma once

#include <QList>
#include <QNetworkProxy>
#include <QSslCertificate>
#include <QString>

namespace friendlinks {

// The most rows probed at once that a check accepts (--jobs, the worker pool).
inline constexpr int kMaxJobs = 64;

// Settings of one engine; the defaults are what users get.
struct CheckSettings {
    // DefaultProxy: the environment's and the system's settings (http_proxy, https_proxy,
    // no_proxy), as curl and browsers use them; NoProxy for none (--no-proxy, --proxy '').
    QNetworkProxy proxy{QNetworkProxy::DefaultProxy};
    QString baiduHost = QStringLiteral("www.baidu.com");
    int jobs = 8;              // rows probed at once (1 gives the strictly serial order)
    int perHostLimit = 2;      // requests at once to any one host, Baidu's included
    int timeoutMs = 5000;      // per fetch
    QList<QSslCertificate> authorities; // trusted besides the system's
    // --ca-file's PEM text, read into certificates by the engine: Qt loads its
    // TLS back end only once the application object exists.
    QByteArray authorityPem;
    bool insecure = false;     // read pages with untrusted certificates, still noting the trouble
    bool modern = false;       // today's web: https friend links, host back links, today's Baidu page
    int baiduIntervalMs = 0;   // least time between the starts of two Baidu queries of a check
    // A Baidu answer asked at most this long ago is used instead of a new query
    // (--baidu-max-age); 0: every check asks anew, and no answer is kept.
    qint64 baiduMaxAgeMs = 0;
    // The history whose Baidu answers earlier runs may use and this one adds to;
    // empty: only the answers of the run (--no-history).
    QString baiduAnswerHistory;
    // A classic check also fetches each friend's page as Baidu's spider (a fact
    // only; modern mode always does, and reds what the spider is not shown).
    bool spiderCheck = false;
};

} // namespace friendlinks
