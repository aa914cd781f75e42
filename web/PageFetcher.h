#pragma once

#include "web/FetchResult.h"

#include <QList>
#include <QNetworkProxy>
#include <QObject>
#include <QPointer>
#include <QSslConfiguration>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QNetworkAccessManager;

namespace friendlinks {

class BodyBudget;
class HeaderWatch;

// The memory guards the requests of one or more fetchers share; they outlive those requests.
struct FetchGuards {
    BodyBudget *budget = nullptr;
    HeaderWatch *headerWatch = nullptr;
};

inline constexpr int kDefaultTimeoutMs = 5000;
inline constexpr qint64 kMaxBodyBytes = 16 * 1024 * 1024;
inline constexpr int kDefaultConnectionPools = 4; // 4 x 6 connections through one proxy

// How one request goes beyond the defaults.
struct FetchOptions {
    // False: the connection is closed once the answer is in, instead of being
    // kept for a later request to the same host (no later one needs it).
    bool keepConnection = true;
    // Set: redirects are followed by the fetcher itself, one request each, and
    // only to targets this accepts; a refused target ends the fetch with the
    // redirect's own answer, its target last in FetchResult::redirects.
    std::function<bool(const QString &target)> followRedirect;
    // The body is cut here (at most kMaxBodyBytes), as TooLarge: a file that
    // is read only so far is fetched no further.
    qint64 maxBodyBytes = kMaxBodyBytes;
};

// One request in flight. Emits finished() exactly once, unless aborted first,
// then deletes itself (deleteLater). Owned by the PageFetcher that made it.
class FetchRequest : public QObject {
    Q_OBJECT
public:
    // Cancels the request: its network reply is aborted and finished() never comes.
    virtual void abort() = 0;

signals:
    void finished(const friendlinks::FetchResult &result);

protected:
    using QObject::QObject;
};

// Asynchronous page fetcher (GetHtmlCode). Any number of requests may be in
// flight, each independent. GET only, no request headers of our own, Qt's
// default redirect policy unless FetchOptions asks for our own; the body is
// taken whatever the HTTP status, capped at kMaxBodyBytes, and the bodies of
// its fetches share one budget (BodyBudget), its own or the one its owner
// hands it with the header watch (setGuards), as a pool does for all its
// fetchers. The time limit runs from right after sending.
class PageFetcher : public QObject {
    Q_OBJECT
public:
    explicit PageFetcher(QObject *parent = nullptr);
    ~PageFetcher() override;

    // An HTTP proxy, NoProxy (the default) for none, or DefaultProxy for the
    // environment's and the system's settings (http_proxy, no_proxy, ...).
    void setProxy(const QNetworkProxy &proxy);
    void setTimeoutMs(int timeoutMs);
    // Guards shared with other fetchers, in place of its own; before the first request.
    void setGuards(FetchGuards guards);

    // Certificate authorities to trust besides the system's (--ca-file).
    void addAuthorities(const QList<QSslCertificate> &authorities);
    // Reads a page whose certificate cannot be trusted all the same; the
    // trouble is still reported in FetchResult::tlsError. Off by default:
    // such a fetch fails like a connection that gave no answer.
    void setInsecure(bool insecure) { m_insecure = insecure; }
    // Today's charset rule (decodeDeclared: the bytes, then the header and the
    // page's own <meta>) instead of the bytes-only one of DecodeBody.
    void setDeclaredCharsets(bool declared) { m_declaredCharsets = declared; }

    // Fetches url ("http://" is put in front unless it starts with http:// or
    // https:// in any case). URL0 is the checked site as typed: a failure on an
    // address that contains it is reported as SiteUnreachable.
    // The returned request is parented to this fetcher; connect to finished().
    FetchRequest *GetHtmlCode(const QString &url, const QString &URL0);
    FetchRequest *GetHtmlCode(const QString &url, const QString &URL0, const FetchOptions &options);

    // Aborts every request in flight; none of them emits finished() afterwards.
    void abortAll();

    // The address GetHtmlCode would request for url (scheme rule only).
    [[nodiscard]] static QString withScheme(const QString &url);

private:
    [[nodiscard]] QNetworkAccessManager *managerFor(const QString &host) const;
    void applyProxy(QNetworkAccessManager *manager) const;

    std::unique_ptr<BodyBudget> m_ownBudget;
    std::unique_ptr<HeaderWatch> m_ownHeaderWatch;
    FetchGuards m_guards;
    QList<QNetworkAccessManager *> m_managers;
    QNetworkProxy m_proxy{QNetworkProxy::NoProxy};
    int m_timeoutMs = kDefaultTimeoutMs;
    std::optional<QSslConfiguration> m_tls; // set only when authorities were added
    bool m_insecure = false;
    bool m_declaredCharsets = false;
};

} // namespace friendlinks
