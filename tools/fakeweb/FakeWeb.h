#pragma once

#include "tools/fakeweb/World.h"

#include <QNetworkProxy>
#include <QObject>
#include <QSet>
#include <QSslCertificate>
#include <QStringList>

class QSslServer;
class QTcpServer;

namespace fakeweb {

inline constexpr char kExpiredHostPrefix[] = "expired.";

// A small HTTP/1.1 server on 127.0.0.1 that answers from a World, both as an
// origin server (by Host header) and as an HTTP proxy (absolute-form target).
// Unknown URLs get 404 with a small body. Every request is logged.
// https: a second listener speaks TLS with a certificate of the test authority
// for the hosts of tls_hosts.txt; as a proxy, "CONNECT host:443" is tunnelled
// to that listener, which answers "https://host/..." from the world. A host
// whose name starts with "expired." is tunnelled to a listener whose
// certificate has expired (same names otherwise).
// A URL may answer a client by its User-Agent (World::setForAgent): a server
// that shows Baidu's spider another page.
class FakeWeb : public QObject {
    Q_OBJECT
public:
    explicit FakeWeb(QObject *parent = nullptr);
    ~FakeWeb() override;

    [[nodiscard]] World &world() { return m_world; }

    // Listens on 127.0.0.1; port 0 picks a free one. The TLS listener gets a
    // free port of its own when the test certificate is at hand.
    [[nodiscard]] bool listen(quint16 port = 0);
    [[nodiscard]] quint16 port() const;
    [[nodiscard]] quint16 tlsPort() const; // 0 when https is not offered

    // The PEM file of the test authority that signed the server certificate
    // (what a client passes as --ca-file), and its certificates.
    [[nodiscard]] static QString authorityFile();
    [[nodiscard]] static QList<QSslCertificate> authority();
    [[nodiscard]] QString proxyUrl() const;     // "http://127.0.0.1:PORT"
    [[nodiscard]] QNetworkProxy proxy() const;  // HttpProxy on 127.0.0.1:PORT

    // Requests to host since the start (or the last clearLog()).
    [[nodiscard]] int hostRequests(const QString &host) const { return m_hostRequests.value(host.toLower()); }
    // Absolute URLs asked for, in arrival order, percent-decoded ("http://h/s?wd=site:中文").
    [[nodiscard]] QStringList requestLog() const { return m_log; }
    void clearLog();
    // Connections open right now.
    [[nodiscard]] int openConnections() const;

signals:
    void requestReceived(const QString &url);
    // The answer to url has been written (or the connection dropped as told).
    void answered(const QString &url);

private:
    class Connection;
    friend class Connection;

    World m_world;
    QTcpServer *m_server = nullptr;
    QSslServer *m_tlsServer = nullptr;
    QSslServer *m_expiredTlsServer = nullptr;
    QStringList m_log;
    QHash<QString, int> m_hostRequests;
    QSet<Connection *> m_connections;

    void acceptPending(QTcpServer *server, bool tls);
    [[nodiscard]] bool listenTls();
    [[nodiscard]] QSslServer *tlsListener(const QString &certificateFile);
    // The TLS listener a "CONNECT host:port" goes to.
    [[nodiscard]] quint16 tunnelPortFor(const QByteArray &connectTarget) const;
    void logRequest(const QString &url);
    [[nodiscard]] std::optional<Answer> answerFor(const QString &url, const QString &userAgent);
    void connectionClosed(Connection *connection);
};

} // namespace fakeweb
