// The peak memory of checks on hostile webs, each case in a process of its
// own so each peak is its own. fakeweb runs as a process of its own too, so
// only the checker's memory counts.
//   five      the checked site's home page is a 3.7 MB page on one line with
//             50,000 anchors; its five friends answer with 20 MB, an endless
//             stream, 1 MB of binary garbage, a redirect loop and a stall (--jobs 8)
//   hostile17 seventeen friends: ten 20 MB pages, endless bodies, a gzip bomb,
//             an endless header line, endless header lines, garbage (--jobs 8)
//   big32     thirty-two friends sending 20 MB each (--jobs 32)
//   headers   eight friends whose header never ends, --timeout-ms 15000 (--jobs 8)
//   links370k a home page listing 370,000 friend links (--jobs 8)
//   anchors300k one friend whose page is 16 MB of 300,000 anchors, the link
//             back the last, in modern mode (--jobs 8)
//   mixed17 / mixed17m  seventeen friends of every hostile kind in one run, in
//             classic / modern mode (--jobs 8): 20 MB and 16 MB pages, a NUL flood,
//             endless and huge chunked bodies, gzip bombs of 10 MB and of no end,
//             100,000 anchors, an unclosed <a, comment and quote, a redirect loop,
//             endless header lines, garbage, a stall
//
//   ./build/bench/hostile_memory_bench [CASE]
//   HOSTILE_BENCH_WRAP=heaptrack ./build/bench/hostile_memory_bench CASE   (where the memory goes)
//   HOSTILE_BENCH_LOG=FILE  fakeweb's log of the requests it answered
#include "check/CheckEngine.h"
#include "check/CheckRules.h"
#include "web/FetchResult.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>

#ifdef FRIENDLINKS_BENCH_HAVE_ZLIB
#include <zlib.h>
#endif

namespace {

const QString kHome = QStringLiteral("http://www.me.com/");
const QByteArray kBackLink = "<a href=\"http://www.me.com/\">Me</a>";
constexpr int kAnchors = 50000;
constexpr qsizetype kHomeBytes = 3700 * 1000;

struct Friend {
    const char *host;
    const char *expected; // the back-link cell text
};

const Friend kFriends[] = {
    {"www.big.com", "Me"},                         // 20 MB, the link back at 10 MB
    {"www.endless.com", nullptr},                  // the cap or the time limit, either is fine
    {"www.garbage.com", "没有链接"},
    {"www.loop.com", nullptr},                     // 无知错误 or 没有链接, as Qt ends the loop
    {"www.stall.com", "访问太慢"},
};

// The pages are written piece by piece, so that making them raises no peak.
bool writeHome(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray start = "<html><body>";
    for (const Friend &f : kFriends)
        start += "<a href=\"http://" + QByteArray(f.host) + "/\">friend</a>";
    file.write(start);
    const qsizetype perAnchor = (kHomeBytes - start.size()) / qsizetype(kAnchors - std::size(kFriends));
    for (int i = int(std::size(kFriends)); i < kAnchors; ++i) {
        QByteArray a = "<a href=\"/article/" + QByteArray::number(i) + ".html\" title=\"";
        const QByteArray tail = "\">article " + QByteArray::number(i) + "</a>";
        a += QByteArray(std::max<qsizetype>(0, perAnchor - a.size() - tail.size()), 't') + tail;
        file.write(a);
    }
    return file.write("</body></html>") > 0;
}

// 20 MB of anchors to elsewhere, one a line, with the link back half way.
bool writeBig(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray line = "<a href=\"http://www.elsewhere.com/\">elsewhere</a>\n";
    bool linked = false;
    for (qint64 written = 0; written < 20 * 1000 * 1000; written += line.size()) {
        if (!linked && written >= 10 * 1000 * 1000) {
            file.write(kBackLink + "\n");
            linked = true;
        }
        file.write(line);
    }
    return file.error() == QFile::NoError;
}

bool writeGarbage(const QString &path)
{
    QByteArray bytes(1000 * 1000, Qt::Uninitialized);
    QRandomGenerator random(9);
    for (char &b : bytes)
        b = char(random.bounded(256));
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Nearly 16 MB (under the size cap) of 300,000 anchors to elsewhere, the link back the last.
bool writeAnchors(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    constexpr int kCount = 300000;
    constexpr qsizetype kEach = 16 * 1000 * 1000 / kCount;
    for (int i = 0; i < kCount - 1; ++i) {
        QByteArray a = "<a href=\"http://www.elsewhere.com/" + QByteArray::number(i) + "\">";
        a += QByteArray(std::max<qsizetype>(1, kEach - a.size() - 5), 'x') + "</a>\n";
        file.write(a);
    }
    file.write("<a href=\"http://www.anchors300k.com/\">Me</a>\n"); // the checked site's
    return file.error() == QFile::NoError;
}

// A home page linking to the given friends, in order.
QByteArray homeOf(const QStringList &friends)
{
    QByteArray home = "<html><body>";
    for (const QString &f : friends)
        home += "<a href=\"http://" + f.toUtf8() + "/\">friend</a>\n";
    return home + "</body></html>";
}

// The anchors300k case: its checked site, its one friend and its page.
bool addAnchorsCase(const QDir &dir, QJsonObject &world)
{
    if (!writeAnchors(dir.filePath("anchors.html"))
        || !writeFile(dir.filePath("anchors300k.html"), homeOf({QStringLiteral("www.anchors.com")})))
        return false;
    world["http://www.anchors.com/"] = QJsonObject{{"file", "anchors.html"}};
    world["http://www.anchors300k.com/"] = QJsonObject{{"file", "anchors300k.html"}};
    return true;
}

// bytes in gzip's format; empty without zlib.
QByteArray gzipped(const QByteArray &bytes)
{
#ifdef FRIENDLINKS_BENCH_HAVE_ZLIB
    z_stream stream{};
    if (deflateInit2(&stream, 9, Z_DEFLATED, 15 + 16, 9, Z_DEFAULT_STRATEGY) != Z_OK)
        return {};
    QByteArray out(qsizetype(deflateBound(&stream, uLong(bytes.size()))), Qt::Uninitialized);
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(bytes.constData()));
    stream.avail_in = uInt(bytes.size());
    stream.next_out = reinterpret_cast<Bytef *>(out.data());
    stream.avail_out = uInt(out.size());
    const bool done = deflate(&stream, Z_FINISH) == Z_STREAM_END;
    out.truncate(qsizetype(stream.total_out));
    deflateEnd(&stream);
    return done ? out : QByteArray();
#else
    (void)bytes;
    return {};
#endif
}

// The mixed17 cases: seventeen friends of www.mixed17.com, each hostile in its own way.
bool addMixedCase(const QDir &dir, QJsonObject &world)
{
    const QByteArray tenMb(10 * 1000 * 1000, 'x');
    QByteArray hundredThousand;
    for (int i = 0; i < 100000; ++i)
        hundredThousand += "<a href=\"http://www.elsewhere.com/" + QByteArray::number(i) + "\">x</a>";
    const QByteArray bomb = gzipped(QByteArray(10 * 1000 * 1000, '\0'));
    if (!writeFile(dir.filePath("nul.html"), QByteArray(8 * 1000 * 1000, '\0'))
        || !writeFile(dir.filePath("anchors100k.html"), hundredThousand)
        || !writeFile(dir.filePath("open-a.html"), "<a href=\"http://www.x.com/\">" + tenMb)
        || !writeFile(dir.filePath("open-comment.html"), "<!-- " + tenMb)
        || !writeFile(dir.filePath("open-quote.html"), "<a href=\"" + tenMb)
        || !writeFile(dir.filePath("bomb10.gz"), bomb))
        return false;
    const QJsonObject big{{"file", "big.html"}};
    const QList<std::pair<const char *, QJsonObject>> friends = {
        {"www.m-big.com", big},
        {"www.m-big2.com", big},
        {"www.m-16mb.com", QJsonObject{{"file", "anchors.html"}}},
        {"www.m-nul.com", QJsonObject{{"file", "nul.html"}}},
        {"www.m-endless.com", QJsonObject{{"fault", "endless"}}},
        {"www.m-chunked.com", QJsonObject{{"file", "big.html"}, {"fault", "chunked"}}},
        {"www.m-bomb10.com", bomb.isEmpty() ? QJsonObject{{"fault", "gzipbomb"}}
                                             : QJsonObject{{"file", "bomb10.gz"},
                                                           {"headers", QJsonObject{{"Content-Encoding", "gzip"}}}}},
        {"www.m-bomb.com", QJsonObject{{"fault", "gzipbomb"}}},
        {"www.m-100k.com", QJsonObject{{"file", "anchors100k.html"}}},
        {"www.m-open-a.com", QJsonObject{{"file", "open-a.html"}}},
        {"www.m-open-comment.com", QJsonObject{{"file", "open-comment.html"}}},
        {"www.m-open-quote.com", QJsonObject{{"file", "open-quote.html"}}},
        {"www.m-loop.com", QJsonObject{{"status", 302}, {"body", "again"},
                                       {"headers", QJsonObject{{"Location", "http://www.m-loop.com/"}}}}},
        {"www.m-line.com", QJsonObject{{"fault", "endlessheaderline"}}},
        {"www.m-heads.com", QJsonObject{{"fault", "endlessheaders"}}},
        {"www.m-garbage.com", QJsonObject{{"file", "garbage.bin"}}},
        {"www.m-stall.com", QJsonObject{{"fault", "stall"}, {"body", "late"}}},
    };
    QStringList hosts;
    for (const auto &[host, answer] : friends) {
        hosts << QString::fromLatin1(host);
        world[QStringLiteral("http://%1/").arg(hosts.last())] = answer;
    }
    if (!writeFile(dir.filePath("mixed17.html"), homeOf(hosts)))
        return false;
    world[QStringLiteral("http://www.mixed17.com/")] = QJsonObject{{"file", "mixed17.html"}};
    return true;
}

// Writes the world into dir; its JSON file's path, or empty on failure.
QString writeWorld(const QDir &dir)
{
    if (!writeHome(dir.filePath("home.html")) || !writeBig(dir.filePath("big.html"))
        || !writeGarbage(dir.filePath("garbage.bin")))
        return {};
    QJsonObject world;
    const auto page = [&world](const QString &host, const QJsonObject &answer) {
        world[QStringLiteral("http://%1/").arg(host)] = answer;
    };
    const QJsonObject big{{"file", "big.html"}};
    const QJsonObject endless{{"fault", "endless"}};
    const QJsonObject line{{"fault", "endlessheaderline"}};
    const QJsonObject heads{{"fault", "endlessheaders"}};
    const QJsonObject bomb{{"fault", "gzipbomb"}};
    const QJsonObject garbage{{"file", "garbage.bin"}};
    const QJsonObject stall{{"fault", "stall"}, {"body", "late"}};

    world[kHome] = QJsonObject{{"file", "home.html"}};
    page("www.big.com", big);
    page("www.endless.com", endless);
    page("www.garbage.com", garbage);
    page("www.loop.com", QJsonObject{{"status", 301}, {"body", "moved"},
                                     {"headers", QJsonObject{{"Location", "http://www.loop.com/"}}}});
    page("www.stall.com", stall);

    QStringList hostile;
    for (int i = 0; i < 10; ++i) {
        hostile << QStringLiteral("www.big%1.com").arg(i);
        page(hostile.last(), big);
    }
    for (const auto &[host, answer] : {std::pair{"www.endless1.com", endless}, {"www.endless2.com", endless},
                                       {"www.bomb.com", bomb}, {"www.line.com", line}, {"www.heads.com", heads},
                                       {"www.garbage.com", garbage}, {"www.stall.com", stall}}) {
        hostile << QString::fromLatin1(host);
        page(hostile.last(), answer);
    }
    QStringList big32;
    for (int i = 0; i < 32; ++i) {
        big32 << QStringLiteral("www.large%1.com").arg(i);
        page(big32.last(), big);
    }
    QStringList headers;
    for (int i = 0; i < 8; ++i) {
        headers << QStringLiteral("www.header%1.com").arg(i);
        page(headers.last(), i % 2 ? heads : line);
    }
    QStringList many;
    for (int i = 0; i < 370000; ++i)
        many << QStringLiteral("www.a%1.cn").arg(i);
    if (!writeFile(dir.filePath("hostile17.html"), homeOf(hostile)) || !writeFile(dir.filePath("big32.html"), homeOf(big32))
        || !writeFile(dir.filePath("headers.html"), homeOf(headers)) || !writeFile(dir.filePath("many.html"), homeOf(many)))
        return {};
    page("www.hostile17.com", QJsonObject{{"file", "hostile17.html"}});
    page("www.big32.com", QJsonObject{{"file", "big32.html"}});
    page("www.headers.com", QJsonObject{{"file", "headers.html"}});
    page("www.many.com", QJsonObject{{"file", "many.html"}});
    const QString path = dir.filePath("world.json");
    return addAnchorsCase(dir, world) && addMixedCase(dir, world) && writeFile(path, QJsonDocument(world).toJson()) ? path : QString();
}

// The process's high-water mark of resident memory, in MB.
double peakResidentMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return -1;
}

struct Case {
    const char *name;
    const char *site;
    int jobs;
    int timeoutMs;
    bool modern = false;
};

const Case kCases[] = {
    {"five", "www.me.com", 8, 5000},
    {"hostile17", "www.hostile17.com", 8, 5000},
    {"big32", "www.big32.com", 32, 5000},
    {"headers", "www.headers.com", 8, 15000},
    {"links370k", "www.many.com", 8, 5000},
    {"anchors300k", "www.anchors300k.com", 8, 5000, true},
    {"mixed17", "www.mixed17.com", 8, 5000},
    {"mixed17m", "www.mixed17.com", 8, 5000, true},
};

// One case in this process: prints its line and returns whether its rows were right.
bool runCase(const Case &c, quint16 port)
{
    friendlinks::CheckSettings settings;
    settings.proxy = QNetworkProxy(QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"), port);
    settings.jobs = c.jobs;
    settings.timeoutMs = c.timeoutMs;
    settings.modern = c.modern;
    friendlinks::CheckEngine engine(settings);
    QObject::connect(&engine, &friendlinks::CheckEngine::siteFinished, qApp, &QCoreApplication::quit);
    engine.start(QString::fromLatin1(c.site));
    qApp->exec();

    bool right = true;
    if (engine.results()->cellRows().size() <= 40) {
        // What each friend's back-link cell came to, one line.
        QStringList cells;
        for (const auto &row : engine.results()->cellRows())
            cells << row[friendlinks::Column::fanlian].text;
        std::printf("  cells: %s\n", qPrintable(cells.join(QLatin1Char(' '))));
    }
    if (QByteArrayView(c.name) == "five") {
        right = engine.results()->cellRows().size() == qsizetype(std::size(kFriends));
        for (qsizetype i = 0; right && i < engine.results()->cellRows().size(); ++i) {
            const QString cell = engine.results()->cellRows()[i][friendlinks::Column::fanlian].text;
            const char *expected = kFriends[i].expected;
            std::printf("  %-18s %s\n", kFriends[i].host, qPrintable(cell));
            if (expected && cell != QString::fromUtf8(expected))
                right = false;
        }
    }
    if (QByteArrayView(c.name) == "anchors300k")
        right = engine.results()->cellRows().size() == 1
            && engine.results()->cellRows()[0][friendlinks::Column::fanlian].text == QStringLiteral("Me");
    std::printf("%-10s --jobs %-2d %5.1f s, %6lld rows, peak memory %4.0f MB\n", c.name, c.jobs,
                engine.elapsedMs() / 1000.0, static_cast<long long>(engine.results()->cellRows().size()), peakResidentMb());
    return right;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3) { // a case, in a process of its own
        for (const Case &c : kCases)
            if (args[1] == QLatin1String(c.name))
                return runCase(c, args[2].toUShort()) ? 0 : 1;
        return 2;
    }

    QTemporaryDir dir;
    const QString worldPath = dir.isValid() ? writeWorld(QDir(dir.path())) : QString();
    if (worldPath.isEmpty()) {
        std::fprintf(stderr, "cannot write the world\n");
        return 1;
    }
    QProcess fakeweb;
    fakeweb.setStandardErrorFile(qEnvironmentVariable("HOSTILE_BENCH_LOG", QProcess::nullDevice())); // its request log
    fakeweb.start(QStringLiteral(FRIENDLINKS_FAKEWEB), {worldPath});
    if (!fakeweb.waitForStarted() || !fakeweb.waitForReadyRead(60000)) {
        std::fprintf(stderr, "fakeweb did not start\n");
        return 1;
    }
    const QString port = QString::fromLatin1(fakeweb.readLine().trimmed());
    std::printf("hostile_memory_bench: peaks under 150 MB at --jobs 8 and 300 MB at --jobs 32 are the aim\n");
    std::fflush(stdout);
    bool right = true;
    for (const Case &c : kCases) {
        if (args.size() == 2 && args[1] != QLatin1String(c.name))
            continue;
        QProcess one;
        one.setProcessChannelMode(QProcess::ForwardedChannels);
        // HOSTILE_BENCH_WRAP runs each case under a profiler ("heaptrack", "valgrind --tool=massif").
        QStringList command = QString::fromLocal8Bit(qgetenv("HOSTILE_BENCH_WRAP")).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        command << app.applicationFilePath() << QString::fromLatin1(c.name) << port;
        one.start(command.takeFirst(), command);
        one.waitForFinished(-1);
        if (one.exitCode() != 0) {
            std::fprintf(stderr, "%s: the check gave wrong rows or failed\n", c.name);
            right = false;
        }
    }
    fakeweb.kill();
    fakeweb.waitForFinished();
    return right ? 0 : 1;
}
