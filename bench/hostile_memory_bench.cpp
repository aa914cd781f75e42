// The peak memory of one check on hostile pages: the checked site's home page
// is a 3.7 MB page on one line with 50,000 anchors, and its five friends answer
// with 20 MB, an endless stream, 1 MB of binary garbage, a redirect loop and a
// stall. fakeweb runs as a process of its own, so only the check's memory counts.
//
//   ./build/bench/hostile_memory_bench

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

// Writes the world into dir; its JSON file's path, or empty on failure.
QString writeWorld(const QDir &dir)
{
    if (!writeHome(dir.filePath("home.html")) || !writeBig(dir.filePath("big.html"))
        || !writeGarbage(dir.filePath("garbage.bin")))
        return {};
    QJsonObject world;
    world[kHome] = QJsonObject{{"file", "home.html"}};
    world["http://www.big.com/"] = QJsonObject{{"file", "big.html"}};
    world["http://www.endless.com/"] = QJsonObject{{"fault", "endless"}};
    world["http://www.garbage.com/"] = QJsonObject{{"file", "garbage.bin"}};
    world["http://www.loop.com/"] = QJsonObject{{"status", 301}, {"body", "moved"},
                                                {"headers", QJsonObject{{"Location", "http://www.loop.com/"}}}};
    world["http://www.stall.com/"] = QJsonObject{{"fault", "stall"}, {"body", "late"}};
    const QString path = dir.filePath("world.json");
    return writeFile(path, QJsonDocument(world).toJson()) ? path : QString();
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

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString worldPath = dir.isValid() ? writeWorld(QDir(dir.path())) : QString();
    if (worldPath.isEmpty()) {
        std::fprintf(stderr, "cannot write the world\n");
        return 1;
    }

    QProcess fakeweb;
    fakeweb.setStandardErrorFile(QProcess::nullDevice()); // its request log
    fakeweb.start(QStringLiteral(FRIENDLINKS_FAKEWEB), {worldPath});
    if (!fakeweb.waitForStarted() || !fakeweb.waitForReadyRead(30000)) {
        std::fprintf(stderr, "fakeweb did not start\n");
        return 1;
    }
    const quint16 port = fakeweb.readLine().trimmed().toUShort();
    const double before = peakResidentMb();

    friendlinks::CheckSettings settings;
    settings.proxy = QNetworkProxy(QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"), port);
    friendlinks::CheckEngine engine(settings);
    QObject::connect(&engine, &friendlinks::CheckEngine::finished, &app, &QCoreApplication::quit);
    engine.start(QStringLiteral("www.me.com"));
    app.exec();

    bool right = engine.rows().size() == qsizetype(std::size(kFriends));
    for (qsizetype i = 0; right && i < engine.rows().size(); ++i) {
        const QString cell = engine.rows()[i][friendlinks::Column::fanlian].text;
        const char *expected = kFriends[i].expected;
        std::printf("  %-18s %s\n", kFriends[i].host, qPrintable(cell));
        if (expected && cell != QString::fromUtf8(expected))
            right = false;
    }
    fakeweb.kill();
    fakeweb.waitForFinished();
    std::printf("hostile_memory_bench: %.1f s, peak memory %.0f MB (%.0f MB before the check)\n",
                engine.elapsedMs() / 1000.0, peakResidentMb(), before);
    if (!right) {
        std::fprintf(stderr, "the check gave wrong rows\n");
        return 1;
    }
    return 0;
}
