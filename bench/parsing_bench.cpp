// Parsing micro-benchmarks on generated pages: no network, no files.
#include "check/Harvest.h"
#include "probes/BackLinkProbe.h"
#include "probes/ModernBackLink.h"
#include "probes/PageAnchors.h"
#include "probes/RobotsRules.h"
#include "probes/StyleRules.h"
#include "web/BodyDecoding.h"
#include "web/PatternMatcher.h"

#include <QByteArray>
#include <QString>
#include <QStringEncoder>

#include <benchmark/benchmark.h>

#include <algorithm>

namespace {

using namespace friendlinks;

constexpr qsizetype kMiB = 1024 * 1024;

// Ordinary page prose: ASCII markup around Chinese sentences.
QString prose(int line)
{
    return QStringLiteral("<p class=\"t%1\">本站提供最新的行业资讯与技术文章, 欢迎交换友情链接 (line %1)</p>\n").arg(line);
}

// A page of about `bytes` UTF-8 bytes holding `anchors` friend links spread
// evenly, each followed by a Chinese sentence and ASCII padding to its share.
QString pageWithAnchors(qsizetype bytes, int anchors)
{
    const QString padding = QStringLiteral("lorem ipsum dolor sit amet consectetur adipiscing elit ").repeated(8);
    QString page;
    const qsizetype perAnchor = bytes / anchors;
    for (int i = 0; i < anchors; ++i) {
        QString piece = QStringLiteral("<li><a href=\"http://www.friend%1.com/\" target=\"_blank\">友情链接%1</a></li>\n"
                                       "<p>本站提供行业资讯, 欢迎交换链接</p>")
                            .arg(i);
        const qsizetype left = perAnchor - piece.toUtf8().size() - 1;
        page += piece + padding.left(std::max<qsizetype>(0, left)) + QLatin1Char('\n');
    }
    return page;
}

QByteArray utf8Body(qsizetype bytes)
{
    QByteArray body;
    for (int line = 0; body.size() < bytes; ++line)
        body += prose(line).toUtf8();
    body.truncate(bytes);
    while (!body.isEmpty() && (uchar(body.back()) & 0xC0) == 0x80) // no cut sequence at the end
        body.chop(1);
    if (!body.isEmpty() && uchar(body.back()) >= 0xC0)
        body.chop(1);
    return body;
}

QByteArray gbBody(qsizetype bytes)
{
    QStringEncoder toGb("GB18030");
    QByteArray body;
    for (int line = 0; body.size() < bytes; ++line)
        body += QByteArray(toGb.encode(prose(line)));
    return body;
}

void BM_IsUtf8_10MB(benchmark::State &state)
{
    const QByteArray body = utf8Body(10 * kMiB);
    bool utf8 = false;
    for (auto _ : state) {
        utf8 = IsUtf8(body);
        benchmark::DoNotOptimize(utf8);
    }
    if (!utf8)
        state.SkipWithError("the body was not taken as UTF-8, so it was not scanned to its end");
    state.SetBytesProcessed(state.iterations() * body.size());
}
BENCHMARK(BM_IsUtf8_10MB)->Unit(benchmark::kMillisecond);

void BM_DecodeBody_GB18030_1MB(benchmark::State &state)
{
    const QByteArray body = gbBody(kMiB);
    if (IsUtf8(body))
        state.SkipWithError("the GB body was taken as UTF-8");
    for (auto _ : state)
        benchmark::DoNotOptimize(DecodeBody(body));
    state.SetBytesProcessed(state.iterations() * body.size());
}
BENCHMARK(BM_DecodeBody_GB18030_1MB)->Unit(benchmark::kMillisecond);

void BM_TestRegExp_Anchors_1MB(benchmark::State &state)
{
    const QString page = pageWithAnchors(kMiB, 5000);
    const qsizetype bytes = page.toUtf8().size();
    qsizetype matches = 0;
    for (auto _ : state) {
        const QString list = TestRegExp(kAnchorPattern, page);
        matches = list.count(kLineBreak);
        benchmark::DoNotOptimize(list);
    }
    if (matches != 5000)
        state.SkipWithError("the page did not give 5,000 anchors");
    state.counters["anchors"] = double(matches);
    state.counters["page_bytes"] = double(bytes);
    state.SetBytesProcessed(state.iterations() * bytes);
}
BENCHMARK(BM_TestRegExp_Anchors_1MB)->Unit(benchmark::kMillisecond);

void BM_HarvestLinks_1000(benchmark::State &state)
{
    const QString page = pageWithAnchors(200 * 1024, 1000);
    const QString site = QStringLiteral("www.mysite.com");
    qsizetype links = 0;
    for (auto _ : state) {
        const QList<HarvestedLink> found = harvestLinks(page, site);
        links = found.size();
        benchmark::DoNotOptimize(found);
    }
    if (links != 1000)
        state.SkipWithError("the page did not give 1,000 friend links");
    state.counters["links"] = double(links);
}
BENCHMARK(BM_HarvestLinks_1000)->Unit(benchmark::kMillisecond);

// The same two jobs read as a browser reads the page (modern mode).
void BM_ReadPageAnchors_1MB(benchmark::State &state)
{
    const QString page = pageWithAnchors(kMiB, 5000);
    qsizetype anchors = 0;
    for (auto _ : state) {
        const QList<PageAnchor> found = readPageAnchors(page, QStringLiteral("https://www.mysite.com/"));
        anchors = found.size();
        benchmark::DoNotOptimize(found);
    }
    if (anchors != 5000)
        state.SkipWithError("the page did not give 5,000 anchors");
    state.counters["anchors"] = double(anchors);
}
BENCHMARK(BM_ReadPageAnchors_1MB)->Unit(benchmark::kMillisecond);

// Modern mode's back-link verdict on the same page: the link back is the last anchor.
void BM_ScanModernBackLinks_1MB(benchmark::State &state)
{
    const QString page = pageWithAnchors(kMiB, 5000) + QStringLiteral("<a href=\"http://www.me.com/\">me</a>");
    bool passes = false;
    for (auto _ : state) {
        const ModernBackLinkScan scan =
            scanModernBackLinks(page, QStringLiteral("https://www.friend.com/"), QStringLiteral("me.com"), false);
        passes = scan.passes;
        benchmark::DoNotOptimize(scan);
    }
    if (!passes)
        state.SkipWithError("the link back was not found");
}
BENCHMARK(BM_ScanModernBackLinks_1MB)->Unit(benchmark::kMillisecond);

void BM_ModernHarvest_1000(benchmark::State &state)
{
    const QString page = pageWithAnchors(200 * 1024, 1000);
    qsizetype links = 0;
    for (auto _ : state) {
        const Harvest found = harvest(page, QStringLiteral("www.mysite.com"), LinkMode::Modern);
        links = found.links.size();
        benchmark::DoNotOptimize(found);
    }
    if (links != 1000)
        state.SkipWithError("the page did not give 1,000 friend links");
    state.counters["links"] = double(links);
}
BENCHMARK(BM_ModernHarvest_1000)->Unit(benchmark::kMillisecond);

// A robots.txt of the largest size read: many crawlers' groups, Baidu's spider's the last.
void BM_RobotsVerdict_500KiB(benchmark::State &state)
{
    QString robots;
    for (int group = 0; robots.size() < kRobotsMaxChars - 200; ++group)
        robots += QStringLiteral("User-agent: bot%1\nDisallow: /private%1/\nAllow: /private%1/*.html$\n\n").arg(group);
    robots += QStringLiteral("User-agent: Baiduspider\nDisallow: /\n");
    bool allowed = true;
    for (auto _ : state) {
        const RobotsVerdict verdict = robotsVerdict(robots, kBaiduSpiderToken, u"/");
        allowed = verdict.allowed;
        benchmark::DoNotOptimize(verdict);
    }
    if (allowed)
        state.SkipWithError("Baidu's spider was not disallowed");
}
BENCHMARK(BM_RobotsVerdict_500KiB)->Unit(benchmark::kMillisecond);

// A style sheet of the largest size read, of ordinary rules; one link 20 elements deep.
void BM_StyleHiddenBy_256KiB(benchmark::State &state)
{
    QString sheet;
    for (int rule = 0; sheet.size() < kStyleSheetMaxChars - 100; ++rule)
        sheet += QStringLiteral(".nav%1 ul li a, #box%1 > .item{color:#333;font-size:14px;margin:0 4px}\n").arg(rule);
    sheet += QStringLiteral(".flink{display:none}");
    QList<StyledElement> chain;
    for (int depth = 0; depth < 19; ++depth)
        chain.append({depth == 10 ? QStringLiteral("ul") : QStringLiteral("div"), QStringLiteral("box%1").arg(depth),
                      {QStringLiteral("nav%1").arg(depth), QStringLiteral("flink")}, {}, false});
    chain.append({QStringLiteral("a"), {}, {}, {}, false});
    bool hidden = false;
    for (auto _ : state) {
        StyleRules rules;
        rules.addStyleSheet(sheet);
        const std::optional<HiddenBy> by = rules.hiddenBy(chain);
        hidden = by.has_value();
        benchmark::DoNotOptimize(by);
    }
    if (!hidden)
        state.SkipWithError("the link was not found hidden");
}
BENCHMARK(BM_StyleHiddenBy_256KiB)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
