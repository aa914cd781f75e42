// Time from launching the program to its window on screen: starts
// `friendlinks` again and again on the display given (Xvfb under `make bench`),
// each time told to quit once its first frame is painted, and prints the
// times, and the processor time each launch took (to the first frame and
// out), which a busy machine disturbs far less. Given several programs (say, before and after a change) it takes
// turns between them, so a busy machine weighs on each alike.
//
//   xvfb-run -a ./build/bench/startup_bench [--runs N] PROGRAM [PROGRAM...]

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <vector>

namespace {

struct Launch {
    double shownMs = -1; // from start to the "shown" line; negative when it never came
    double cpuMs = 0;    // user and system time of the whole process
};

double childrenCpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3
         + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

Launch launch(const QString &program, const QProcessEnvironment &env)
{
    const double cpuBefore = childrenCpuMs();
    QProcess process;
    process.setProcessEnvironment(env);
    process.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    process.start(program, {});
    QByteArray out;
    while (!out.contains("shown\n") && process.waitForReadyRead(10000))
        out += process.readAllStandardOutput();
    const double ms = clock.nsecsElapsed() / 1e6;
    if (!process.waitForFinished(10000)) {
        process.kill();
        process.waitForFinished();
    }
    return {out.contains("shown\n") ? ms : -1, childrenCpuMs() - cpuBefore};
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList programs = app.arguments().mid(1);
    int runs = 15;
    if (programs.size() >= 2 && programs.first() == QLatin1String("--runs")) {
        runs = std::max(1, programs.at(1).toInt());
        programs = programs.mid(2);
    }
    if (programs.isEmpty()) {
        std::fprintf(stderr, "usage: startup_bench [--runs N] PROGRAM [PROGRAM...]\n");
        return 2;
    }

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("FRIENDLINKS_QUIT_WHEN_SHOWN"), QStringLiteral("1"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM")); // the real display, not offscreen

    std::map<QString, std::vector<double>> shownMs;
    std::map<QString, std::vector<double>> cpuMs;
    for (int i = 0; i < runs; ++i) {
        for (const QString &program : programs) {
            const Launch once = launch(program, env);
            if (once.shownMs < 0) {
                std::fprintf(stderr, "startup_bench: %s did not show its window\n", qPrintable(program));
                return 1;
            }
            shownMs[program].push_back(once.shownMs);
            cpuMs[program].push_back(once.cpuMs);
        }
    }
    for (const QString &program : programs) {
        const std::vector<double> &ms = shownMs[program];
        std::printf("startup_bench: %s, %d runs: launch to first painted window min %.0f ms, median %.0f ms, "
                    "max %.0f ms; processor time per launch median %.0f ms\n",
                    qPrintable(program), runs, *std::min_element(ms.begin(), ms.end()), median(ms),
                    *std::max_element(ms.begin(), ms.end()), median(cpuMs[program]));
    }
    return 0;
}
