// Time from launching the program to its window on screen: starts
// `friendlinks` N times on the display given (Xvfb under `make bench`), each
// told to quit once its first frame is painted, and prints the times.
//
//   xvfb-run -a ./build/bench/startup_bench ./build/friendlinks [runs]

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>

#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: startup_bench PROGRAM [runs]\n");
        return 2;
    }
    const QString program = QString::fromLocal8Bit(argv[1]);
    const int runs = argc > 2 ? std::max(1, atoi(argv[2])) : 15;

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("FRIENDLINKS_QUIT_WHEN_SHOWN"), QStringLiteral("1"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM")); // the real display, not offscreen

    std::vector<double> shownMs;
    for (int i = 0; i < runs; ++i) {
        QProcess process;
        process.setProcessEnvironment(env);
        QElapsedTimer clock;
        clock.start();
        process.start(program, {});
        // Read until the line arrives: the time is taken as soon as it does.
        QByteArray out;
        while (!out.contains("shown\n") && process.waitForReadyRead(10000))
            out += process.readAllStandardOutput();
        const double ms = clock.nsecsElapsed() / 1e6;
        process.waitForFinished(10000);
        if (!out.contains("shown\n")) {
            std::fprintf(stderr, "run %d: the window did not show (%s)\n", i + 1,
                         process.readAllStandardError().constData());
            return 1;
        }
        shownMs.push_back(ms);
    }
    std::sort(shownMs.begin(), shownMs.end());
    std::printf("startup_bench: launch to first painted window, %d runs: min %.0f ms, median %.0f ms, max %.0f ms\n",
                runs, shownMs.front(), shownMs[shownMs.size() / 2], shownMs.back());
    return 0;
}
