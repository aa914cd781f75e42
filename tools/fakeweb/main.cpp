// fakeweb WORLD.json [--port N]: serves the world on 127.0.0.1 until killed.
// The first line on stdout is the port it listens on. As a proxy it also
// tunnels https ("CONNECT host:443"); clients trust it with --ca-file and the
// test authority named on stderr.
#include "tools/fakeweb/FakeWeb.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    QString worldPath;
    quint16 port = 0;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--port") && i + 1 < args.size()) {
            bool ok = false;
            port = args[++i].toUShort(&ok);
            if (!ok) {
                std::fprintf(stderr, "fakeweb: bad port %s\n", qPrintable(args[i]));
                return 2;
            }
        } else if (worldPath.isEmpty() && !args[i].startsWith(QLatin1String("--"))) {
            worldPath = args[i];
        } else {
            std::fprintf(stderr, "usage: fakeweb WORLD.json [--port N]\n");
            return 2;
        }
    }
    if (worldPath.isEmpty()) {
        std::fprintf(stderr, "usage: fakeweb WORLD.json [--port N]\n");
        return 2;
    }

    fakeweb::FakeWeb web;
    if (const auto error = web.world().loadFile(worldPath)) {
        std::fprintf(stderr, "fakeweb: %s\n", qPrintable(*error));
        return 2;
    }
    if (!web.listen(port)) {
        std::fprintf(stderr, "fakeweb: cannot listen on 127.0.0.1:%u\n", unsigned(port));
        return 1;
    }
    std::printf("%u\n", unsigned(web.port()));
    std::fflush(stdout);
    if (web.tlsPort() != 0)
        std::fprintf(stderr, "fakeweb: https on port %u, test authority %s\n", unsigned(web.tlsPort()),
                     qPrintable(fakeweb::FakeWeb::authorityFile()));
    QObject::connect(&web, &fakeweb::FakeWeb::requestReceived, [](const QString &url) {
        std::fprintf(stderr, "fakeweb: %s\n", url.toUtf8().constData());
    });
    QObject::connect(&web, &fakeweb::FakeWeb::answered, [](const QString &url) {
        std::fprintf(stderr, "fakeweb: answered %s\n", url.toUtf8().constData());
    });
        return app.exec();
}
