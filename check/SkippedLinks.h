#pragma once

#include <QString>
#include <QStringList>

#include <array>

namespace friendlinks {

// Why an anchor of the checked site's page gave no row. The first three hold
// in either mode; the rest are the classic rules that leave out a link a
// modern check lists (HostPrefix: no "www."/"bbs."/"blog."; IndexPage: an
// index file or a query string after the host), and the modern harvest's own
// bound and its one row per friend.
enum class SkipReason {
    InnerPage,
    SameSite,
    NotHttp,
    Https,
    NameEnding,
    HostPrefix,
    IndexPage,
    TooLong,
    ContainsSiteName,
    FooterWord,
    Duplicate,
};
inline constexpr int kSkipReasonCount = int(SkipReason::Duplicate) + 1;

// The anchors a harvest did not list, counted by reason.
class SkippedLinks {
public:
    void add(SkipReason reason, int count = 1) { m_counts[size_t(reason)] += count; }
    [[nodiscard]] int operator[](SkipReason reason) const { return m_counts[size_t(reason)]; }
    // Friend links a modern check would list that the classic rules left out.
    [[nodiscard]] int modernWouldList() const;
    bool operator==(const SkippedLinks &) const = default;

private:
    std::array<int, kSkipReasonCount> m_counts{};
};

// The json key of a reason ("inner_page", "name_ending" …).
[[nodiscard]] QString skipReasonKey(SkipReason reason);
// The classic reasons with a count, in words, for the hint: "域名后缀 3，https 2".
[[nodiscard]] QString classicSkipSummary(const SkippedLinks &skipped);

} // namespace friendlinks
