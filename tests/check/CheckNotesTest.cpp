// What a check has to tell the user, from its result: the one list the window and the command line show.
#include "check/CheckNotes.h"

#include "tests/common/Table.h"

#include <functional>

namespace friendlinks {
namespace {

using Kind = CheckNote::Kind;

struct NotesRow : Row {
    std::function<void(SiteResult &)> shape; // from a classic check of a site that said nothing
    QList<std::pair<Kind, QString>> notes;   // before the mode's note
    QString cause = {};                      // of the Unreachable note
};

const QString kUntrusted = QStringLiteral("The certificate is self-signed, and untrusted");

const NotesRow kNotes[] = {
    {{"nothing_to_say"}, [](SiteResult &) {}, {}},
    {{"unreachable_with_its_cause"},
     [](SiteResult &r) {
         r.outcome.reachable = false;
         r.outcome.home.failure = FetchResult::Failure::ConnectionClosed;
     },
     {{Kind::Unreachable, "网址可能无法访问：连接被中断"}},
     "连接被中断"},
    {{"unreachable_without_a_cause"}, [](SiteResult &r) { r.outcome.reachable = false; }, {{Kind::Unreachable, "网址可能无法访问"}}},
    {{"unreachable_for_its_certificate"},
     [](SiteResult &r) {
         r.outcome.reachable = false;
         r.outcome.home.failure = FetchResult::Failure::Certificate;
         r.outcome.home.tlsError = kUntrusted;
         r.outcome.skipped.add(SkipReason::Https); // nothing was harvested: no word of it
     },
     {{Kind::Unreachable, "网址可能无法访问：证书不可信"},
      {Kind::SiteCertificate, "证书不可信：" + kUntrusted + "（可用 --ca-file 加入证书颁发机构，或用 --insecure 照样读取）"}},
     "证书不可信"},
    {{"read_insecurely_with_an_error_status"},
     [](SiteResult &r) {
         r.outcome.home.status = 410;
         r.outcome.home.tlsError = kUntrusted;
     },
     {{Kind::HomeError, "首页返回 HTTP 410"}, {Kind::SiteCertificate, "注意：证书不可信：" + kUntrusted + "，已按 --insecure 照样读取"}}},
    {{"page_cut_at_the_size_cap"},
     [](SiteResult &r) { r.outcome.home.failure = FetchResult::Failure::TooLarge; },
     {{Kind::PageCut, "首页过大，只读了前 16 MB，其后的链接未列出"}}},
    {{"classic_passed_over_links_and_rows_past_the_limit"},
     [](SiteResult &r) {
         r.outcome.skipped.add(SkipReason::Https);
         r.outcome.skipped.add(SkipReason::SameSite); // either mode's rule: not said
         r.outcome.uncheckedLinks = 7;
     },
     {{Kind::SkippedLinks, "另有 1 个友链未列出（https 1）"}, {Kind::RowsBeyondLimit, "只检查了前 10000 个友情链接，其余 7 个未检查"}}},
    {{"modern_lists_what_classic_passes_over"},
     [](SiteResult &r) {
         r.outcome.modern = true;
         r.outcome.skipped.add(SkipReason::Https);
     },
     {}},
    {{"baidu_blocked_and_untrusted"},
     [](SiteResult &r) {
         r.outcome.baiduBlocked = true;
         r.outcome.baiduTlsError = kUntrusted;
     },
     {{Kind::BaiduBlocked, "百度要求安全验证，其余各行的百度列未再查询"},
      {Kind::BaiduCertificate, "百度的证书不可信：" + kUntrusted + "，百度各列留空"}}},
    {{"baidu_blocked_with_a_max_age_counts_the_rows_it_left"},
     [](SiteResult &r) {
         r.outcome.baiduBlocked = true;
         r.outcome.baiduFallback = SiteOutcome::BaiduFallback{12, 3};
     },
     {{Kind::BaiduBlocked, "百度要求安全验证，其余各行的百度列未再查询（12 行沿用之前的结果，3 行为空）"}}},
    {{"baidu_read_insecurely"},
     [](SiteResult &r) {
         r.settings.insecure = true;
         r.outcome.baiduTlsError = kUntrusted;
     },
     {{Kind::BaiduCertificate, "注意：百度的证书不可信：" + kUntrusted + "，已照样读取"}}},
};

TABLE_TEST(CheckNotesTest, FromTheResult, kNotes)
{
    const NotesRow &row = GetParam();
    SiteResult result;
    result.outcome.site = QStringLiteral("www.me.com");
    result.outcome.home.status = 200;
    row.shape(result);
    QList<CheckNote> notes = checkNotes(result);
    ASSERT_FALSE(notes.isEmpty());
    const CheckNote mode = notes.takeLast();
    EXPECT_EQ(mode.kind, Kind::Mode);
    EXPECT_EQ(mode.text, result.modern() ? QStringLiteral("现代模式") : QStringLiteral("经典模式"));
    QList<std::pair<Kind, QString>> said;
    for (const CheckNote &note : notes) {
        said.append({note.kind, note.text});
        EXPECT_EQ(note.cause, note.kind == Kind::Unreachable ? row.cause : QString());
        EXPECT_EQ(note.severity == CheckNote::Severity::Error, !result.outcome.reachable)
            << "only a site that cannot be checked is an error";
    }
    EXPECT_EQ(said, row.notes);
}

} // namespace
} // namespace friendlinks
