#pragma once

#include <QString>

namespace friendlinks {

inline const QString kTooSlow = QStringLiteral("访问太慢");       // no answer within the limit
inline const QString kEmptyBody = QStringLiteral("无知错误");     // answered, but with no body
inline const QString kUnreachableMessage = QStringLiteral("网址可能无法访问");
inline const QString kUnreachableTitle = QStringLiteral("提示");

// The outcome of one GetHtmlCode. `text` is always what callers parse:
// the page, one of the markers, or empty for SiteUnreachable.
struct FetchResult {
    enum class Kind {
        Page,            // a non-empty body, decoded (whatever the HTTP status)
        TooSlow,         // text is kTooSlow
        EmptyBody,       // text is kEmptyBody (also refused connections, unknown hosts, resets)
        SiteUnreachable, // either failure on the checked site itself; text is empty and the
                         // front end tells the user kUnreachableMessage titled kUnreachableTitle
    };
    Kind kind = Kind::EmptyBody;
    QString text;
};

} // namespace friendlinks
