// A batch of sites in one run against the same sites one after another:
// 20 sites of 10 friend links each, every site and Baidu answering after
// 50 ms. The batch shares one worker pool and one per-host limit, so Baidu's
// 200 queries, two at a time, set its lower bound of 5 s.
//
//   ./build/bench/batch_bench [runs]

#include "bench/BenchSupport.h"
#include "cli/CheckCommand.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kSites = 20;
constexpr int kFriends = 10;
constexpr int kDelayMs = 50;

QString siteName(int s)
{
    return QStringLiteral("www.batch-home%1.com").arg(s, 2, 10, QLatin1Char('0'));
}

void buildWorld(fakeweb::World &world)
{
    for (int s = 0; s < kSites; ++s) {
        QByteArray home;
        for (int f = 0; f < kFriends; ++f) {
            const QString host = QStringLiteral("www.b%1-f%2.com").arg(s).arg(f);
            home += QStringLiteral("<a href=\"http://%1/\">友站%2</a>\n").arg(host).arg(f).toUtf8();
            world.setPage(QStringLiteral("http://%1/").arg(host),
                          QStringLiteral("<a href=\"http://%1/\">首页</a>").arg(siteName(s)).toUtf8(), kDelayMs);
            world.setPage(QStringLiteral("http://www.baidu.com/s?wd=site:%1/").arg(host),
                          QStringLiteral("百度一下，找到相关网页约%1篇，用时0.1秒<font color=#008000>%2/ 1K 2026-1-2</font>")
                              .arg(f + 1)
                              .arg(host)
                              .toUtf8(),
                          kDelayMs);
        }
        world.setPage(QStringLiteral("http://%1/").arg(siteName(s)), home, kDelayMs);
    }
}

// Seconds for one `check` of the given sites; -1 when the output is not complete.
double timeCheck(QCoreApplication &app, const QNetworkProxy &proxy, const QStringList &sites)
{
    friendlinks::CheckOptions options;
    options.sites = sites;
    options.site = sites.first();
    options.format = friendlinks::OutputFormat::Tsv;
    options.settings.proxy = proxy;
    QBuffer out;
    QBuffer err;
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    friendlinks::CheckCommand command(options, &out, &err, false, false);
    int status = -1;
    QObject::connect(&command, &friendlinks::CheckCommand::finished, &app, [&](int exitStatus) {
        status = exitStatus;
        app.quit();
    });
    QElapsedTimer clock;
    clock.start();
    command.start();
    app.exec();
    const double seconds = clock.elapsed() / 1000.0;
    const int first = int(out.data().count(QStringLiteral("\t首页\t").toUtf8()));
    return status == friendlinks::kExitOk && first == kFriends * int(sites.size()) ? seconds : -1;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 3;
    const ThreadedFakeWeb web(buildWorld);
    if (!web.listening()) {
        std::fprintf(stderr, "fakeweb could not listen\n");
        return 1;
    }
    QStringList sites;
    for (int s = 0; s < kSites; ++s)
        sites << siteName(s);
    const double lowerBoundS = kSites * kFriends / 2.0 * kDelayMs / 1000.0;
    std::printf("batch_bench: %d sites x %d friend links, every site and Baidu answering after %d ms\n", kSites,
                kFriends, kDelayMs);

    std::vector<double> batch;
    for (int run = 0; run < runs; ++run) {
        const double seconds = timeCheck(app, web.proxy(), sites);
        if (seconds < 0) {
            std::fprintf(stderr, "the batch gave incomplete output\n");
            return 1;
        }
        batch.push_back(seconds);
    }
    double oneByOne = 0;
    for (const QString &site : sites) {
        const double seconds = timeCheck(app, web.proxy(), {site});
        if (seconds < 0) {
            std::fprintf(stderr, "%s gave incomplete output\n", qPrintable(site));
            return 1;
        }
        oneByOne += seconds;
    }
    const double wall = median(batch);
    std::printf("one batch (median of %d): %6.2f s = %.2f x the %.1f s lower bound (aim: under 1.3 x)\n", runs, wall,
                wall / lowerBoundS, lowerBoundS);
    std::printf("one after another:        %6.2f s = %.2f x the batch\n", oneByOne, oneByOne / wall);
    std::printf("peak memory: %.0f MB\n", peakMemoryMb());
    return wall / lowerBoundS <= 1.3 ? 0 : 1;
}
