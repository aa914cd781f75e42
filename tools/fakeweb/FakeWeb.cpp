#include "tools/fakeweb/FakeWeb.h"

#include <QFile>
#include <QHostAddress>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QSslSocket>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

#ifdef FAKEWEB_HAVE_ZLIB
#include <zlib.h>
#endif

#include <memory>

namespace fakeweb {

namespace {

constexpr qsizetype kMaxHeaderBytes = 64 * 1024;
constexpr qsizetype kEndlessChunkBytes = 64 * 1024;
constexpr qint64 kEndlessBacklogBytes = 2 * kEndlessChunkBytes; // never buffer more than this

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200: return "OK";
    case 201: return "Created";
    case 204: return "No Content";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 303: return "See Other";
    case 307: return "Temporary Redirect";
    case 308: return "Permanent Redirect";
    case 400: return "Bad Request";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    case 502: return "Bad Gateway";
    case 503: return "Service Unavailable";
    default: return "Status";
    }
}

#ifdef FAKEWEB_HAVE_ZLIB
// A gzip stream of zeros that never ends: each piece inflates about a thousand fold.
class ZeroGzip {
public:
    ZeroGzip()
    {
        m_stream = {};
        deflateInit2(&m_stream, Z_BEST_COMPRESSION, Z_DEFLATED, 15 + 16, 9, Z_DEFAULT_STRATEGY);
    }
    ~ZeroGzip() { deflateEnd(&m_stream); }
    ZeroGzip(const ZeroGzip &) = delete;
    ZeroGzip &operator=(const ZeroGzip &) = delete;

    QByteArray next()
    {
        static const QByteArray kZeros(4 * 1024 * 1024, '\0');
        QByteArray out(64 * 1024, Qt::Uninitialized);
        m_stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(kZeros.data()));
        m_stream.avail_in = uInt(kZeros.size());
        m_stream.next_out = reinterpret_cast<Bytef *>(out.data());
        m_stream.avail_out = uInt(out.size());
        deflate(&m_stream, Z_SYNC_FLUSH);
        out.resize(out.size() - qsizetype(m_stream.avail_out));
        return out;
    }

private:
    z_stream m_stream;
};
#else
class ZeroGzip {
public:
    QByteArray next() { return QByteArray(64 * 1024, '\0'); }
};
#endif

QByteArray chunk(QByteArrayView data)
{
    return QByteArray::number(data.size(), 16) + "\r\n" + data.toByteArray() + "\r\n";
}

struct Request {
    QByteArray method;
    QByteArray target;
    QByteArray version;
    QByteArray host;
    QByteArray connection;
    qsizetype contentLength = 0;
    QByteArray userAgent = {};
};

std::optional<Request> parseHead(const QByteArray &head)
{
    const QList<QByteArray> lines = head.split('\n');
    const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
    if (first.size() != 3)
        return std::nullopt;
    Request request{first[0], first[1], first[2], {}, {}, 0, {}};
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            continue;
        const QByteArray name = line.left(colon).trimmed().toLower();
        const QByteArray value = line.mid(colon + 1).trimmed();
        if (name == "host")
            request.host = value;
        else if (name == "connection" || name == "proxy-connection")
            request.connection = value.toLower();
        else if (name == "content-length")
            request.contentLength = value.toLongLong();
        else if (name == "user-agent")
            request.userAgent = value;
    }
    return request;
}

} // namespace

// One accepted client connection: reads requests one after another and
// answers each from the world, keeping the connection alive unless asked.
// After a CONNECT it only relays bytes to and from the TLS listener.
class FakeWeb::Connection : public QObject {
public:
    Connection(FakeWeb *web, QTcpSocket *socket, bool tls)
        : QObject(web), m_web(web), m_socket(socket), m_scheme(tls ? "https://" : "http://")
    {
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, this, &Connection::processNext);
        connect(socket, &QTcpSocket::bytesWritten, this, &Connection::pumpEndless);
        connect(socket, &QTcpSocket::disconnected, this, [this] { m_web->connectionClosed(this); });
        connect(socket, &QTcpSocket::errorOccurred, this, [this] {
            if (m_socket->state() == QAbstractSocket::UnconnectedState)
                m_web->connectionClosed(this);
        });
    }

    ~Connection() override
    {
        m_socket->disconnect(this);
        m_socket->abort();
    }

private:
    void processNext()
    {
        if (m_tunnel) {
            relayToTunnel();
            return;
        }
        if (m_busy || m_stalled)
            return;
        m_in += m_socket->readAll();
        const qsizetype headEnd = m_in.indexOf("\r\n\r\n");
        if (headEnd < 0) {
            if (m_in.size() > kMaxHeaderBytes)
                m_socket->abort();
            return;
        }
        const auto request = parseHead(m_in.left(headEnd));
        if (!request) {
            m_in.clear();
            writeSimple(400, "bad request\n", true);
            return;
        }
        const qsizetype total = headEnd + 4 + request->contentLength;
        if (m_in.size() < total)
            return; // wait for the request body
        m_in.remove(0, total);
        answer(*request);
    }

    void answer(const Request &request)
    {
        m_busy = true;
        m_closeAfter = request.connection.contains("close")
            || (request.version == "HTTP/1.0" && !request.connection.contains("keep-alive"));

        if (request.method == "CONNECT") {
            if (m_web->tlsPort() != 0) {
                openTunnel(m_web->tunnelPortFor(request.target));
                return;
            }
            // No TLS listener: the attempt is refused, and logged all the same.
            m_web->logRequest(QStringLiteral("https://") + QString::fromUtf8(request.target));
            writeSimple(502, QByteArray(), true);
            return;
        }
        QString url;
        const QByteArray lowerTarget = request.target.toLower();
        if (lowerTarget.startsWith("http://") || lowerTarget.startsWith("https://"))
            url = QString::fromUtf8(request.target);
        else
            url = QLatin1String(m_scheme) + QString::fromUtf8(request.host) + QString::fromUtf8(request.target);
        m_web->logRequest(url);

        std::optional<Answer> found = m_web->answerFor(url, QString::fromUtf8(request.userAgent));
        if (!found) {
            Answer missing;
            missing.status = 404;
            missing.body = "not found: " + url.toUtf8() + "\n";
            found = missing;
        }
        const Answer a = *found;
        if (a.fault == Answer::Fault::Stall) {
            m_stalled = true;
            return;
        }
        if (a.delayMs > 0) {
            QTimer::singleShot(a.delayMs, Qt::PreciseTimer, this, [this, a, url] {
                send(a);
                emit m_web->answered(url);
            });
        } else {
            send(a);
            emit m_web->answered(url);
        }
    }

    QByteArray head(const Answer &a, const QByteArray &framing) const
    {
        QByteArray out = "HTTP/1.1 " + QByteArray::number(a.status) + ' ' + reasonPhrase(a.status) + "\r\n";
        for (const auto &[name, value] : a.headers)
            out += name + ": " + value + "\r\n";
        out += framing;
        if (m_closeAfter)
            out += "Connection: close\r\n";
        return out + "\r\n";
    }

    void send(const Answer &a)
    {
        if (m_socket->state() != QAbstractSocket::ConnectedState)
            return;
        const QByteArray length = "Content-Length: " + QByteArray::number(a.body.size()) + "\r\n";
        switch (a.fault) {
        case Answer::Fault::Drop:
            m_socket->disconnectFromHost();
            return;
        case Answer::Fault::DropMidBody:
            m_socket->write(head(a, length) + a.body.left(a.body.size() / 2));
            m_socket->disconnectFromHost();
            return;
        case Answer::Fault::Endless:
            m_endless = Endless::Body;
            m_socket->write(head(a, "Transfer-Encoding: chunked\r\n"));
            pumpEndless();
            return;
        case Answer::Fault::EndlessHeaderLine:
            m_endless = Endless::HeaderLine;
            m_socket->write("HTTP/1.1 200 OK\r\nX-Long: ");
            pumpEndless();
            return;
        case Answer::Fault::EndlessHeaders:
            m_endless = Endless::Headers;
            m_socket->write("HTTP/1.1 200 OK\r\n");
            pumpEndless();
            return;
        case Answer::Fault::GzipBomb:
            m_endless = Endless::Gzip;
            m_gzip = std::make_unique<ZeroGzip>();
            m_socket->write(head(a, "Content-Type: text/html\r\nContent-Encoding: gzip\r\nTransfer-Encoding: chunked\r\n"));
            pumpEndless();
            return;
        case Answer::Fault::Chunked: {
            QByteArray out = head(a, "Transfer-Encoding: chunked\r\n");
            const qsizetype piece = std::max<qsizetype>(1, (a.body.size() + 2) / 3);
            for (qsizetype at = 0; at < a.body.size(); at += piece)
                out += chunk(QByteArrayView(a.body).sliced(at, std::min(piece, a.body.size() - at)));
            m_socket->write(out + "0\r\n\r\n");
            break;
        }
        case Answer::Fault::None:
        case Answer::Fault::Stall:
            m_socket->write(head(a, length) + a.body);
            break;
        }
        done();
    }

    void writeSimple(int status, const QByteArray &body, bool close)
    {
        m_closeAfter = m_closeAfter || close;
        Answer a;
        a.status = status;
        a.body = body;
        m_busy = true;
        send(a);
    }

    void done()
    {
        if (m_closeAfter) {
            m_socket->disconnectFromHost();
            return;
        }
        m_busy = false;
        if (!m_in.isEmpty() || m_socket->bytesAvailable() > 0)
            QTimer::singleShot(0, this, &Connection::processNext);
    }

    void pumpEndless()
    {
        if (m_endless == Endless::No || m_socket->state() != QAbstractSocket::ConnectedState)
            return;
        static const QByteArray kChunk = chunk(QByteArray(kEndlessChunkBytes, 'x'));
        static const QByteArray kLine(kEndlessChunkBytes, 'x');
        static const QByteArray kLines = QByteArray("X-More: ").append(QByteArray(1000, 'x')).append("\r\n").repeated(64);
        while (m_socket->bytesToWrite() < kEndlessBacklogBytes) {
            switch (m_endless) {
            case Endless::Body: m_socket->write(kChunk); break;
            case Endless::HeaderLine: m_socket->write(kLine); break;
            case Endless::Headers: m_socket->write(kLines); break;
            case Endless::Gzip: m_socket->write(chunk(m_gzip->next())); break;
            case Endless::No: return;
            }
        }
    }

    // The proxy's side of "CONNECT host:port": the client's bytes go, untouched,
    // to our own TLS listener, which reads the host from the Host header inside.
    void openTunnel(quint16 tlsPort)
    {
        m_tunnel = new QTcpSocket(this);
        connect(m_tunnel, &QTcpSocket::connected, this, [this] {
            m_socket->write("HTTP/1.1 200 Connection established\r\n\r\n");
            relayToTunnel();
        });
        connect(m_tunnel, &QTcpSocket::readyRead, this, [this] { m_socket->write(m_tunnel->readAll()); });
        connect(m_tunnel, &QTcpSocket::disconnected, this, [this] { m_socket->disconnectFromHost(); });
        connect(m_tunnel, &QTcpSocket::errorOccurred, this, [this] {
            if (m_tunnel->state() == QAbstractSocket::UnconnectedState)
                m_socket->disconnectFromHost();
        });
        m_tunnel->connectToHost(QHostAddress::LocalHost, tlsPort);
    }

    void relayToTunnel()
    {
        m_in += m_socket->readAll();
        if (m_tunnel->state() != QAbstractSocket::ConnectedState || m_in.isEmpty())
            return; // kept until the tunnel stands
        m_tunnel->write(m_in);
        m_in.clear();
    }

    FakeWeb *m_web;
    QTcpSocket *m_socket;
    const char *m_scheme;
    QTcpSocket *m_tunnel = nullptr;
    QByteArray m_in;
    bool m_busy = false;
    bool m_closeAfter = false;
    bool m_stalled = false;
    enum class Endless { No, Body, HeaderLine, Headers, Gzip };
    Endless m_endless = Endless::No;
    std::unique_ptr<ZeroGzip> m_gzip;
};

FakeWeb::FakeWeb(QObject *parent) : QObject(parent), m_server(new QTcpServer(this))
{
    m_server->setListenBacklogSize(1024);
    m_server->setMaxPendingConnections(1024);
    connect(m_server, &QTcpServer::newConnection, this, [this] { acceptPending(m_server, false); });
}

FakeWeb::~FakeWeb()
{
    m_server->close();
    if (m_tlsServer)
        m_tlsServer->close();
    if (m_expiredTlsServer)
        m_expiredTlsServer->close();
    const QSet<Connection *> open = m_connections;
    m_connections.clear();
    qDeleteAll(open);
    // Connections already closed are children still waiting for deleteLater; ~QObject takes them.
}

bool FakeWeb::listen(quint16 port)
{
    if (!m_server->listen(QHostAddress::LocalHost, port))
        return false;
    if (!listenTls())
        qWarning("fakeweb: no test certificate in %s, https is not offered", FAKEWEB_TLS_DIR);
    return true;
}

// A TLS listener on a free port of 127.0.0.1 showing the given certificate; null when it cannot be had.
QSslServer *FakeWeb::tlsListener(const QString &certificateFile)
{
    const QString dir = QStringLiteral(FAKEWEB_TLS_DIR);
    QFile keyFile(dir + QStringLiteral("/server.key"));
    const QList<QSslCertificate> chain = QSslCertificate::fromPath(dir + QLatin1Char('/') + certificateFile);
    if (chain.isEmpty() || !keyFile.open(QIODevice::ReadOnly))
        return nullptr;
    const QSslKey key(keyFile.readAll(), QSsl::Rsa, QSsl::Pem);
    if (key.isNull())
        return nullptr;

    QSslConfiguration config = QSslConfiguration::defaultConfiguration();
    config.setLocalCertificateChain(chain);
    config.setPrivateKey(key);
    config.setPeerVerifyMode(QSslSocket::VerifyNone);
    auto *server = new QSslServer(this);
    server->setSslConfiguration(config);
    server->setListenBacklogSize(1024);
    server->setMaxPendingConnections(1024);
    // Sockets come out of the server once their handshake is done.
    connect(server, &QTcpServer::pendingConnectionAvailable, this, [this, server] { acceptPending(server, true); });
    if (server->listen(QHostAddress::LocalHost, 0))
        return server;
    delete server;
    return nullptr;
}

bool FakeWeb::listenTls()
{
    if (!QSslSocket::supportsSsl())
        return false;
    m_tlsServer = tlsListener(QStringLiteral("server.pem"));
    m_expiredTlsServer = m_tlsServer ? tlsListener(QStringLiteral("expired.pem")) : nullptr;
    return m_tlsServer != nullptr;
}

quint16 FakeWeb::tunnelPortFor(const QByteArray &connectTarget) const
{
    if (m_expiredTlsServer && connectTarget.toLower().startsWith(kExpiredHostPrefix))
        return m_expiredTlsServer->serverPort();
    return tlsPort();
}

quint16 FakeWeb::port() const
{
    return m_server->serverPort();
}

quint16 FakeWeb::tlsPort() const
{
    return m_tlsServer ? m_tlsServer->serverPort() : 0;
}

QString FakeWeb::authorityFile()
{
    return QStringLiteral(FAKEWEB_TLS_DIR "/ca.pem");
}

QList<QSslCertificate> FakeWeb::authority()
{
    return QSslCertificate::fromPath(authorityFile());
}

QString FakeWeb::proxyUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(port());
}

QNetworkProxy FakeWeb::proxy() const
{
    return QNetworkProxy(QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"), port());
}

void FakeWeb::clearLog()
{
    m_log.clear();
    m_hostRequests.clear();
}

int FakeWeb::openConnections() const
{
    return int(m_connections.size());
}

void FakeWeb::acceptPending(QTcpServer *server, bool tls)
{
    while (QTcpSocket *socket = server->nextPendingConnection()) {
        auto *connection = new Connection(this, socket, tls);
        m_connections.insert(connection);
        if (socket->bytesAvailable() > 0)
            QTimer::singleShot(0, connection, [socket] { emit socket->readyRead(); });
    }
}

void FakeWeb::logRequest(const QString &url)
{
    const QString decoded = QUrl::fromPercentEncoding(url.toUtf8());
    m_log.append(decoded);
    emit requestReceived(decoded);
}

// Counts the request against its host; a host that has turned answers every URL alike.
std::optional<Answer> FakeWeb::answerFor(const QString &url, const QString &userAgent)
{
    const QString host = QUrl(url).host().toLower();
    const int number = ++m_hostRequests[host];
    if (std::optional<Answer> turned = m_world.hostAnswer(host, number))
        return turned;
    return m_world.find(url, userAgent);
}

void FakeWeb::connectionClosed(Connection *connection)
{
    if (m_connections.remove(connection))
        connection->deleteLater();
}

} // namespace fakeweb
