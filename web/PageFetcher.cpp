#include "web/PageFetcher.h"

#include "web/BodyBudget.h"
#include "web/BodyDecoding.h"
#include "web/DeclaredCharset.h"
#include "web/FetchFailure.h"
#include "web/HeaderWatch.h"

#include <QElapsedTimer>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslError>
#include <QStringList>
#include <QTimer>
#include <QUrl>

#include <algorithm>

namespace friendlinks {

namespace {

constexpr qint64 kReadBufferBytes = 1024 * 1024;
// A page this large keeps its share of the body budget until it has been read.
constexpr qint64 kHoldFromBytes = 1024 * 1024;

// Errors below 200 are transport failures (refused, reset, unknown host,
// proxy trouble): no answer came. Higher codes carry an HTTP answer whose
// body counts like any other (a 404 page is still a page).
bool isTransportError(QNetworkReply::NetworkError error)
{
    return error != QNetworkReply::NoError && int(error) < 200;
}

// The proxy settings of the environment and the system, as curl and browsers
// read them: http_proxy, https_proxy and no_proxy, and the system's own on
// Windows and macOS. Asked per request, so a manager needs nothing global.
class SystemProxyFactory final : public QNetworkProxyFactory {
public:
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery &query) override { return systemProxyForQuery(query); }
};

// Whether the manager sends a request for url through a proxy.
bool goesThroughProxy(QNetworkAccessManager *manager, const QUrl &url)
{
    if (QNetworkProxyFactory *factory = manager->proxyFactory()) {
        const QList<QNetworkProxy> proxies = factory->queryProxy(QNetworkProxyQuery(url));
        return !proxies.isEmpty() && proxies.first().type() != QNetworkProxy::NoProxy;
    }
    return manager->proxy().type() != QNetworkProxy::NoProxy;
}

// Qt's words for every certificate problem of one handshake, in its order.
QString describe(const QList<QSslError> &errors)
{
    QStringList texts;
    for (const QSslError &error : errors) {
        if (!texts.contains(error.errorString()))
            texts << error.errorString();
    }
    return texts.join(QStringLiteral("; "));
}

// How one request treats https (extra authorities, whether an untrusted
// certificate is read anyway) and which charset rule decodes its body.
struct TlsPolicy {
    std::optional<QSslConfiguration> configuration;
    bool insecure = false;
    bool declaredCharsets = false;
};

// One GetHtmlCode call: a reply, its time limit and the body read so far.
class ReplyFetch final : public FetchRequest {
public:
    ReplyFetch(QObject *parent, QString url, bool checkedSite, int timeoutMs, TlsPolicy tls, FetchOptions options,
               FetchGuards guards)
        : FetchRequest(parent), m_url(std::move(url)), m_checkedSite(checkedSite), m_timeoutMs(timeoutMs)
        , m_tls(std::move(tls)), m_options(std::move(options)), m_guards(guards)
    {
        m_timer.setSingleShot(true);
        m_timer.setTimerType(Qt::PreciseTimer);
        connect(&m_timer, &QTimer::timeout, this, &ReplyFetch::onTimeout);
    }

    ~ReplyFetch() override
    {
        m_guards.headerWatch->remove(this);
        m_guards.budget->giveBack(this);
        dropReply();
    }

    void start(QNetworkAccessManager *manager)
    {
        const QUrl address(m_url);
        if (!address.isValid() || address.host().isEmpty()) {
            // Not an address at all: no request can be made, so no body.
            QTimer::singleShot(0, this, [this] {
                finish(failure(FetchResult::Kind::EmptyBody, FetchResult::Failure::NotAnAddress));
            });
            return;
        }
        m_manager = manager;
        m_clock.start();
        m_timer.start(m_timeoutMs);
        send(address);
    }

    void abort() override
    {
        if (m_done)
            return;
        m_done = true;
        m_timer.stop();
        dropReply();
        m_guards.headerWatch->remove(this);
        m_guards.budget->giveBack(this);
        deleteLater();
    }

private:
    // One GET on the wire; the time limit runs on from the first.
    void send(const QUrl &address)
    {
        QNetworkRequest request(address);
        if (m_tls.configuration)
            request.setSslConfiguration(*m_tls.configuration);
        if (m_options.followRedirect)
            request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
        if (!m_options.userAgent.isEmpty())
            request.setHeader(QNetworkRequest::UserAgentHeader, m_options.userAgent);
        if (!m_options.keepConnection)
            request.setAttribute(QNetworkRequest::ConnectionCacheExpiryTimeoutSecondsAttribute, 0);
        m_reply = m_manager->get(request);
        // Until the header is whole its bytes are Qt's, out of sight and without a limit.
        m_guards.headerWatch->add(this, [this] { headerTooLong(); });
        connect(m_reply, &QNetworkReply::metaDataChanged, this, [this] { m_guards.headerWatch->remove(this); });
        // Qt's network thread stops reading the socket while this much waits
        // for us: an endless answer cannot pile up while a big page is parsed.
        m_reply->setReadBufferSize(kReadBufferBytes);
        // Never silent: the trouble is kept in the result, read anyway only when asked.
        connect(m_reply, &QNetworkReply::sslErrors, this, [this](const QList<QSslError> &errors) {
            m_tlsError = describe(errors);
            if (m_tls.insecure && m_reply)
                m_reply->ignoreSslErrors(errors);
        });
        connect(m_reply, &QIODevice::readyRead, this, &ReplyFetch::readSome);
        connect(m_reply, &QNetworkReply::redirected, this,
                [this](const QUrl &target) { m_redirects.append(target.toString()); });
        connect(m_reply, &QNetworkReply::finished, this, &ReplyFetch::onFinished);
    }

    // With our own redirect handling: sends the next request when the answer is
    // a redirect to follow, and says whether it did.
    bool followed()
    {
        if (!m_options.followRedirect || !m_reply)
            return false;
        const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        const QByteArray location = m_reply->rawHeader("Location");
        if (status < 300 || status >= 400 || location.isEmpty())
            return false;
        const QUrl from = m_reply->url();
        const QUrl target = from.resolved(QUrl::fromEncoded(location));
        m_redirects.append(target.toString());
        const bool lessSafe = from.scheme() == QLatin1String("https") && target.scheme() != QLatin1String("https");
        if (++m_hops > m_options.maxRedirects || lessSafe || !target.isValid() || target.host().isEmpty()
            || (target.scheme() != QLatin1String("http") && target.scheme() != QLatin1String("https"))
            || !m_options.followRedirect(target.toString()))
            return false;
        dropReply();
        m_body.clear();
        send(target);
        return true;
    }

    void readSome()
    {
        if (m_done || !m_reply)
            return;
        if (m_waitingForRoom) {
            // The wait was ours, not the server's: the time limit runs on from where it stood.
            m_waitingForRoom = false;
            m_pausedMs += m_roomClock.elapsed();
            m_timer.start(int(std::max<qint64>(0, m_timeoutMs + m_pausedMs - m_clock.elapsed())));
        }
        // Read straight into the body: no chunk is held twice. What the body
        // budget does not grant yet stays in Qt's read buffer, which then stops
        // reading the socket.
        const qint64 cap = std::clamp<qint64>(m_options.maxBodyBytes, 0, kMaxBodyBytes);
        const qint64 room = std::min(m_reply->bytesAvailable(), cap - m_body.size());
        const qint64 wanted = m_guards.budget->take(this, room, cap <= BodyBudget::kSmallBodyBytes);
        if (wanted > 0) {
            const qsizetype had = m_body.size();
            m_body.resize(had + wanted);
            const qint64 got = m_reply->read(m_body.data() + had, wanted);
            m_body.resize(had + std::max<qint64>(got, 0));
        }
        if (m_body.size() >= cap) {
            FetchResult capped = page(); // the cap: keep what came, stop the transfer
            capped.failure = FetchResult::Failure::TooLarge;
            finish(std::move(capped));
            return;
        }
        if (room > wanted) {
            m_waitingForRoom = true;
            m_roomClock.start();
            m_timer.stop();
            m_guards.budget->waitFor(this, [this] { QTimer::singleShot(0, this, &ReplyFetch::readSome); });
            return;
        }
        if (m_replyFinished && m_reply->bytesAvailable() == 0)
            finish(page());
    }

    void onFinished()
    {
        if (m_done || !m_reply)
            return;
        const QNetworkReply::NetworkError error = m_reply->error();
        if (isTransportError(error)) {
            const bool viaProxy = goesThroughProxy(m_reply->manager(), m_reply->url());
            finish(failure(FetchResult::Kind::EmptyBody, failureOf(error, !m_tlsError.isEmpty(), viaProxy)));
            return;
        }
        if (followed())
            return;
        m_replyFinished = true;
        readSome(); // finishes once the whole body is read
    }

    // Stopped by the header watch: the answer that would end as too slow ends now.
    void headerTooLong()
    {
        if (m_done)
            return;
        m_timedOut = true;
        finish(failure(FetchResult::Kind::TooSlow, FetchResult::Failure::TimedOut));
    }

    void onTimeout()
    {
        if (m_done)
            return;
        if (m_reply && m_reply->isFinished()) {
            onFinished(); // complete at the limit still counts (once its body has room)
            return;
        }
        if (m_waitingForRoom)
            return; // readSome() starts the limit again once there is room
        if (const qint64 left = m_timeoutMs + m_pausedMs - m_clock.elapsed(); left > 0) {
            m_timer.start(int(left)); // woke early: wait out the rest
            return;
        }
        m_timedOut = true;
        finish(failure(FetchResult::Kind::TooSlow, FetchResult::Failure::TimedOut));
    }

    [[nodiscard]] FetchResult page()
    {
        if (m_body.isEmpty())
            return failure(FetchResult::Kind::EmptyBody, FetchResult::Failure::EmptyAnswer);
        FetchResult result;
        result.kind = FetchResult::Kind::Page;
        result.text = m_tls.declaredCharsets && m_reply
            ? decodeDeclared(m_body, m_reply->rawHeader("Content-Type"))
            : DecodeBody(m_body);
        if (m_body.size() >= kHoldFromBytes)
            result.bodyHold = m_guards.budget->hold(this, result.text.size() * qint64(sizeof(QChar)));
        m_body = QByteArray(); // from here on the text is the page
        return result;
    }

    [[nodiscard]] FetchResult failure(FetchResult::Kind kind, FetchResult::Failure why) const
    {
        FetchResult result;
        result.failure = why;
        if (m_checkedSite) {
            result.kind = FetchResult::Kind::SiteUnreachable;
            return result;
        }
        result.kind = kind;
        return result;
    }

    // The transport's side of the result: status, addresses, headers, time.
    void addTransportFacts(FetchResult &result) const
    {
        result.elapsedMs = m_clock.isValid() ? m_clock.elapsed() : 0;
        result.redirects = m_redirects;
        result.tlsError = m_tlsError;
        result.finalUrl = m_url;
        if (!m_reply || m_timedOut)
            return; // no (whole) answer came: status 0
        result.finalUrl = m_reply->url().toString();
        result.status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (result.status == 0)
            return; // no answer: its headers, if any, are not the page's
        result.headers = m_reply->rawHeaderPairs();
        // A redirect Qt would not follow (a loop, too many, to a less safe scheme)
        // still names its target.
        if (result.status >= 300 && result.status < 400) {
            const QByteArray location = m_reply->rawHeader("Location");
            if (!location.isEmpty()) {
                const QString target = m_reply->url().resolved(QUrl::fromEncoded(location)).toString();
                if (result.redirects.isEmpty() || result.redirects.last() != target)
                    result.redirects.append(target);
            }
        }
    }

    void finish(FetchResult result)
    {
        if (m_done)
            return;
        m_done = true;
        m_timer.stop();
        m_guards.headerWatch->remove(this);
        m_guards.budget->giveBack(this);
        addTransportFacts(result);
        dropReply();
        emit finished(result);
        deleteLater();
    }

    void dropReply()
    {
        if (!m_reply)
            return;
        QNetworkReply *reply = m_reply;
        m_reply = nullptr;
        reply->disconnect(this);
        if (!reply->isFinished())
            reply->abort();
        reply->deleteLater();
    }

    QString m_url;
    QNetworkAccessManager *m_manager = nullptr;
    int m_hops = 0;
    bool m_checkedSite = false;
    int m_timeoutMs = kDefaultTimeoutMs;
    QPointer<QNetworkReply> m_reply;
    QTimer m_timer;
    QElapsedTimer m_clock;
    QByteArray m_body;
    QList<QString> m_redirects;
    TlsPolicy m_tls;
    FetchOptions m_options;
    FetchGuards m_guards;
    QString m_tlsError;
    bool m_timedOut = false;
    bool m_replyFinished = false; // Qt has the whole answer; the body may still wait for room
    bool m_waitingForRoom = false; // for the body budget: the time limit stands still
    QElapsedTimer m_roomClock;
    qint64 m_pausedMs = 0;
    bool m_done = false;
};

} // namespace

PageFetcher::PageFetcher(QObject *parent)
    : QObject(parent)
    , m_ownBudget(std::make_unique<BodyBudget>())
    , m_ownHeaderWatch(std::make_unique<HeaderWatch>(m_ownBudget.get()))
    , m_guards{m_ownBudget.get(), m_ownHeaderWatch.get()}
{
    // Qt opens at most six connections per host, and behind an HTTP proxy the
    // proxy is that host. Requests are spread over several managers (by the
    // target host), so that many proxied fetches can run at once.
    for (int i = 0; i < kDefaultConnectionPools; ++i) {
        auto *manager = new QNetworkAccessManager(this);
        applyProxy(manager);
        m_managers.append(manager);
    }
}

PageFetcher::~PageFetcher()
{
    abortAll();
    // Now, while the guards they give their bytes back to are still there.
    qDeleteAll(findChildren<FetchRequest *>(Qt::FindDirectChildrenOnly));
}

void PageFetcher::setGuards(FetchGuards guards)
{
    m_guards = guards;
}

void PageFetcher::setProxy(const QNetworkProxy &proxy)
{
    m_proxy = proxy;
    for (QNetworkAccessManager *manager : std::as_const(m_managers))
        applyProxy(manager);
}

void PageFetcher::applyProxy(QNetworkAccessManager *manager) const
{
    if (m_proxy.type() == QNetworkProxy::DefaultProxy)
        manager->setProxyFactory(new SystemProxyFactory); // the manager owns it
    else
        manager->setProxy(m_proxy);
}

void PageFetcher::setTimeoutMs(int timeoutMs)
{
    m_timeoutMs = timeoutMs;
}

void PageFetcher::addAuthorities(const QList<QSslCertificate> &authorities)
{
    if (authorities.isEmpty())
        return;
    if (!m_tls) {
        // The system's authorities, read once: a configuration given to a request
        // replaces Qt's own, which would otherwise load them on demand.
        static const QList<QSslCertificate> system = QSslConfiguration::systemCaCertificates();
        m_tls = QSslConfiguration::defaultConfiguration();
        m_tls->setCaCertificates(system);
    }
    m_tls->addCaCertificates(authorities);
}

QNetworkAccessManager *PageFetcher::managerFor(const QString &host) const
{
    return m_managers.at(qsizetype(qHash(host) % size_t(m_managers.size())));
}

FetchRequest *PageFetcher::GetHtmlCode(const QString &url, const QString &URL0)
{
    return GetHtmlCode(url, URL0, FetchOptions{});
}

FetchRequest *PageFetcher::GetHtmlCode(const QString &url, const QString &URL0, const FetchOptions &options)
{
    QString address = withScheme(url);
    // The failure belongs to the checked site when its address, as typed, is
    // part of ours; an empty site address is part of every address.
    const bool checkedSite = address.contains(URL0);
    auto *request = new ReplyFetch(this, address, checkedSite, m_timeoutMs, TlsPolicy{m_tls, m_insecure, m_declaredCharsets}, options, m_guards);
    request->start(managerFor(QUrl(address).host()));
    return request;
}

void PageFetcher::abortAll()
{
    const auto requests = findChildren<FetchRequest *>(Qt::FindDirectChildrenOnly);
    for (FetchRequest *request : requests)
        request->abort();
}

QString PageFetcher::withScheme(const QString &url)
{
    if (url.startsWith(QLatin1String("http://"), Qt::CaseInsensitive)
        || url.startsWith(QLatin1String("https://"), Qt::CaseInsensitive))
        return url;
    return QStringLiteral("http://") + url;
}

} // namespace friendlinks
