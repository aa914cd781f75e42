#include "check/RowFacts.h"

#include "web/PageFetcher.h"

namespace friendlinks {
namespace {

const QString kYes = QStringLiteral("是");
const QString kNo = QStringLiteral("否");

Cell yesNo(const std::optional<bool> &fact)
{
    if (!fact)
        return {};
    return {*fact ? kYes : kNo, *fact};
}

} // namespace

RowFacts pageFacts(const FetchResult &page, const QString &link)
{
    RowFacts facts;
    facts.status = page.status;
    facts.finalUrl = page.finalUrl;
    facts.ms = page.elapsedMs;
    facts.tlsError = page.tlsError; // kept whether the page was read (--insecure) or not
    if (page.kind != FetchResult::Kind::Page)
        return facts;
    const PageLinkFacts links =
        pageLinkFacts(page.text, page.headers, {PageFetcher::withScheme(link), page.finalUrl});
    facts.pageNofollow = links.nofollow;
    facts.outbound = links.outbound;
    return facts;
}

BaiduFacts baiduFacts(const FetchResult &answer, bool cellsFilled)
{
    const bool read = answer.kind == FetchResult::Kind::Page;
    return {baiduState(answer, cellsFilled), read ? baiduIndexCount(answer.text) : std::nullopt};
}

const std::array<FactColumnInfo, kFactColumnCount> &factColumns()
{
    static const std::array<FactColumnInfo, kFactColumnCount> table{{
        {FactColumn::status, QStringLiteral("HTTP状态"), QStringLiteral("对方首页应答的HTTP状态码，0为没有应答"), 70},
        {FactColumn::finalUrl, QStringLiteral("最终地址"), QStringLiteral("跳转之后实际读到对方首页的地址"), 150},
        {FactColumn::ms, QStringLiteral("用时ms"), QStringLiteral("从发出请求到应答结束（或超时）的毫秒数"), 60},
        {FactColumn::backlinkNofollow, QStringLiteral("反链nofollow"),
         QStringLiteral("指回本站的链接带nofollow、sponsored或ugc，不传递权重"), 90},
        {FactColumn::pageNofollow, QStringLiteral("页面nofollow"),
         QStringLiteral("对方页面的meta robots或X-Robots-Tag要求搜索引擎不跟踪其链接"), 90},
        {FactColumn::outbound, QStringLiteral("对方外链数"),
         QStringLiteral("对方首页指向其他网站的链接数，重复的也算"), 80},
        {FactColumn::baiduState, QStringLiteral("百度状态"),
         QStringLiteral("百度应答：ok有结果，no_result无收录，blocked要求安全验证，unreachable无应答，unknown_page看不懂"), 90},
        {FactColumn::baiduCount, QStringLiteral("百度收录(新)"),
         QStringLiteral("百度新版页面写的收录数，仅供参考，百度收录列不变"), 90},
        {FactColumn::ourNofollow, QStringLiteral("我方nofollow"),
         QStringLiteral("本站指向对方的链接带nofollow、sponsored或ugc，交换不对等"), 90},
    }};
    return table;
}

Cell factCell(const RowFacts &facts, FactColumn column)
{
    switch (column) {
    case FactColumn::status:
        return {QString::number(facts.status)};
    case FactColumn::finalUrl:
        return {facts.finalUrl};
    case FactColumn::ms:
        return {QString::number(facts.ms)};
    case FactColumn::backlinkNofollow:
        return yesNo(facts.backlink ? std::optional<bool>(!facts.backlink->follow) : std::nullopt);
    case FactColumn::pageNofollow:
        return yesNo(facts.pageNofollow);
    case FactColumn::outbound:
        return facts.outbound ? Cell{QString::number(*facts.outbound)} : Cell{};
    case FactColumn::baiduState:
        if (!facts.baidu)
            return {};
        return {baiduStateName(facts.baidu->state), facts.baidu->state == BaiduState::Blocked};
    case FactColumn::baiduCount:
        return facts.baidu && facts.baidu->count ? Cell{*facts.baidu->count} : Cell{};
    case FactColumn::ourNofollow:
        return yesNo(facts.ourLink ? std::optional<bool>(!facts.ourLink->follow) : std::nullopt);
    }
    return {};
}

} // namespace friendlinks
