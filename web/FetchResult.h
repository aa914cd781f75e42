#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

#include <memory>

namespace friendlinks {

// The outcome of one GetHtmlCode: its kind and, when no page came, the
// failure that says why. `text` is the page; empty for every other kind.
struct FetchResult {
    enum class Kind {
        Page,            // a non-empty body, decoded (whatever the HTTP status)
        TooSlow,         // no answer within the time limit
        EmptyBody,       // an answer without a body (also refused connections, unknown hosts, resets)
        SiteUnreachable, // either failure on the checked site itself; text is empty and the
                         // front end tells the user the site cannot be reached
    };
    Kind kind = Kind::EmptyBody;
    QString text;

    // What the transport saw, whatever the kind; the classic cells never read these.
    int status = 0;                 // HTTP status of the last answer; 0 when none came
    QString finalUrl;               // the address the answer was read from, after redirects
    QList<QString> redirects;       // every redirect target in order, also one not followed
    QList<QPair<QByteArray, QByteArray>> headers; // the last answer's headers, as sent
    qint64 elapsedMs = 0;           // from sending to the end of the answer or the time-out
    QString tlsError;               // certificate trouble in Qt's words; empty when none

    // Why no page came, when none did (failureText gives it in words); and
    // TooLarge, the one failure that still brings a page.
    enum class Failure {
        None,              // an answer with a body came
        HostNotFound,
        ConnectionRefused,
        TimedOut,
        Certificate,       // the certificate cannot be trusted (tlsError says how)
        ProxyUnreachable,  // the proxy refused, was not found, or gave up
        ConnectionClosed,  // closed or reset before the answer was whole
        EmptyAnswer,       // an answer without a body
        NotAnAddress,      // no request could be made of the text
        Other,
        TooManyRedirects,  // more redirects than any browser follows, or a loop
        TooLarge,          // the body passed the size cap: text is its first kMaxBodyBytes

    };
    Failure failure = Failure::None;

    // A large page's share of the fetchers' body budget, given back when the
    // last copy of the result is dropped, so pages fetched but not yet read
    // count against what may come in. Dropped on the fetchers' thread only.
    std::shared_ptr<const void> bodyHold;

    // The same answer without its page: its text and its share of the budget
    // dropped, the facts of the transport kept (for keeping beyond the read).
    [[nodiscard]] FetchResult withoutPage() const
    {
        FetchResult facts = *this;
        facts.text.clear();
        facts.bodyHold.reset();
        return facts;
    }

    // The value of the first header of that name (any letter case), or empty.
    [[nodiscard]] QByteArray header(QByteArrayView name) const
    {
        for (const auto &[key, value] : headers)
            if (key.compare(name, Qt::CaseInsensitive) == 0)
                return value;
        return {};
    }
};

} // namespace friendlinks
