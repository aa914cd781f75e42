#pragma once

#include <QtGlobal>

#include <optional>

namespace friendlinks {

// The typed values behind a row's cells: what comparing two checks, the
// history and the red rules read, so that none of them parses a cell's text.

// What the friend's page says about the link back.
enum class BackLinkVerdict {
    Unknown,       // not probed (yet)
    Linked,        // a link back that passes weight (classic: an anchor holding the site's text)
    PassesNothing, // a link back that passes nothing: nofollow, hidden, on a nofollow page (modern)
    NoLink,        // the page was read and nothing on it links back
    NotRead,       // the page could not be read: no answer in time, an empty answer, an error page, a failure
};

// Whether Baidu's "site:" query lists the friend's home page first.
enum class RankVerdict { Unknown, HomeFirst, NotFirst };

// The Baidu index count of a row as a number: today's count phrase when the
// answer had one, else the shoulu cell's; none when no count was read.
using IndexPages = std::optional<qint64>;

} // namespace friendlinks
