#include "app/WindowMain.h"

#include "app/CheckControl.h"
#include "app/Form2.h"
#include "app/HistoryActions.h"
#include "app/ProblemFilter.h"
#include "app/QtTranslations.h"
#include "app/BaiduAgeSetting.h"
#include "app/ModeSetting.h"
#include "app/SettingsAction.h"
#include "app/SettingsDialog.h"
#include "app/SeveralSitesAction.h"
#include "app/SitesWindow.h"
#include "check/BatchCheck.h"
#include "app/StoredSettings.h"
#include "app/WindowGeometry.h"
#include "ui/Platform.h"

#include <QApplication>
#include <QByteArray>
#include <QEvent>
#include <QAction>
#include <QIcon>
#include <QPushButton>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <QTreeView>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <utility>

namespace friendlinks {

namespace {

constexpr char kNoDisplay[] = "friendlinks: no display available; use: friendlinks check SITE\n";

// Set while QApplication is being built: Qt's complaints about a display it
// cannot reach are dropped and its abort becomes our one line and status 1.
QtMessageHandler g_previousHandler = nullptr;

void startupMessageHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtFatalMsg) {
        std::fputs(kNoDisplay, stdout);
        std::fflush(stdout);
        std::_Exit(1);
    }
    const QByteArray category(context.category ? context.category : "");
    if (category.startsWith("qt.qpa"))
        return;
    if (g_previousHandler)
        g_previousHandler(type, context, message);
}

bool displayNamed()
{
#ifdef Q_OS_WIN
    return true; // the desktop is always there
#else
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (!platform.isEmpty())
        return true; // offscreen, vnc, ... or a chosen one; a failing one is caught at start
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
#endif
}

// Ends the program once the window has painted its first frame, saying
// "shown" on stdout: bench/startup_bench times launches with it.
class QuitWhenShown : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            // Queued: the frame being painted now reaches the screen first.
            QTimer::singleShot(0, this, [] {
                std::fputs("shown\n", stdout);
                std::fflush(stdout);
                QApplication::exit(0);
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_seen = false;
};

// Runs then once, when a message box shows.
class OnMessageBoxShown : public QObject {
public:
    OnMessageBoxShown(QObject *parent, std::function<void()> then)
        : QObject(parent)
        , m_then(std::move(then))
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (m_then && event->type() == QEvent::Show && qobject_cast<QMessageBox *>(watched))
            std::exchange(m_then, nullptr)();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_then;
};

// Saves shown as the picture shot once its last cells have painted, then quits.
void pictureAndQuit(QWidget *shown, const QString &shot)
{
    QTimer::singleShot(300, shown, [shown, shot] {
        const bool saved = shown->grab().save(shot);
        std::fprintf(stderr, saved ? "friendlinks: wrote %s\n" : "friendlinks: cannot write %s\n", qPrintable(shot));
        QApplication::exit(saved ? 0 : 1);
    });
}

// For demo/screenshot.sh, with FRIENDLINKS_SCREENSHOT=FILE: FRIENDLINKS_SHOW_SETTINGS=1 pictures
// the 设置… dialog; FRIENDLINKS_AUTOCHECK_SITES="A B ..." checks those sites with 检查多个网站…
// and pictures its view once they are done. True when one of them was asked for.
bool setUpViewPictures(Form2 &window, const QString &shot)
{
    if (shot.isEmpty())
        return false;
    if (qEnvironmentVariableIsSet("FRIENDLINKS_SHOW_SETTINGS")) {
        QTimer::singleShot(500, &window, [&window, shot] { pictureAndQuit(window.settingsAction()->openDialog(), shot); });
        return true;
    }
    const QStringList sites = qEnvironmentVariable("FRIENDLINKS_AUTOCHECK_SITES").split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (sites.isEmpty())
        return false;
    QTimer::singleShot(500, &window, [&window, sites, shot] {
        SitesWindow *view = window.severalSites()->check(sites);
        QObject::connect(view->batch(), &BatchCheck::finished, view, [view, shot] { pictureAndQuit(view, shot); });
    });
    // Never hang a script: give up after a minute.
    QTimer::singleShot(60000, &window, [] {
        std::fputs("friendlinks: the sites' check did not finish in time\n", stderr);
        QApplication::exit(1);
    });
    return true;
}

// Hidden helpers for demo/screenshot.sh and the benchmarks: FRIENDLINKS_AUTOCHECK=SITE
// starts the check once the window shows; FRIENDLINKS_SCREENSHOT=FILE saves the
// window as a picture when that check has finished, then quits;
// FRIENDLINKS_QUIT_WHEN_SHOWN=1 quits once the window is on screen;
// FRIENDLINKS_WINDOW_SIZE=WxH opens the window at that size (no smaller than designed);
// FRIENDLINKS_FACT_COLUMNS=1 shows the fact columns, as the header's menu does;
// FRIENDLINKS_HISTORY_ROW=N pictures the history view (历史…) of row N instead of the window;
// FRIENDLINKS_STOP_AFTER=K stops the check once K rows are done (the picture is then taken);
// FRIENDLINKS_PROBLEMS_ONLY=1 turns on 只看有问题的行.
void setUpAutomation(Form2 &window)
{
    if (qEnvironmentVariableIsSet("FRIENDLINKS_FACT_COLUMNS"))
        for (int column = kColumnCount; column < kColumnCount + kFactColumnCount; ++column)
            window.list()->setColumnHidden(column, false);
    if (qEnvironmentVariableIsSet("FRIENDLINKS_PROBLEMS_ONLY"))
        window.problemFilter()->action()->setChecked(true);
    bool stopGiven = false;
    const int stopAfter = qEnvironmentVariableIntValue("FRIENDLINKS_STOP_AFTER", &stopGiven);
    if (stopGiven)
        QObject::connect(window.engine(), &CheckEngine::progress, &window, [&window, stopAfter](int done, int total) {
            if (total > 0 && done >= stopAfter)
                window.checkControl()->stop();
        });
    if (qEnvironmentVariableIsSet("FRIENDLINKS_QUIT_WHEN_SHOWN"))
        window.installEventFilter(new QuitWhenShown(&window));
    const QStringList size = qEnvironmentVariable("FRIENDLINKS_WINDOW_SIZE").split(QLatin1Char('x'));
    if (size.size() == 2)
        window.resize(size[0].toInt(), size[1].toInt());
    const QString site = qEnvironmentVariable("FRIENDLINKS_AUTOCHECK");
    const QString shot = qEnvironmentVariable("FRIENDLINKS_SCREENSHOT");
    if (setUpViewPictures(window, shot))
        return;
    if (site.isEmpty())
        return;
    bool historyRowGiven = false;
    const int historyRow = qEnvironmentVariableIntValue("FRIENDLINKS_HISTORY_ROW", &historyRowGiven);
    if (!shot.isEmpty()) {
        const auto takePicture = [&window, shot, historyRowGiven, historyRow] {
            QWidget *shown = &window;
            if (historyRowGiven && historyRow >= 0 && historyRow < window.list()->model()->rowCount()) {
                window.list()->setCurrentIndex(window.list()->model()->index(historyRow, 0));
                if (QWidget *view = window.historyActions()->openFriendHistory())
                    shown = view;
            }
            pictureAndQuit(shown, shot);
        };
        QObject::connect(window.engine(), &CheckEngine::siteFinished, &window, takePicture);
        // The message box a result brings (网址可能无法访问) holds the window's handler of
        // siteFinished: the picture is then taken while the box is open.
        qApp->installEventFilter(new OnMessageBoxShown(&window, takePicture));
        QObject::connect(window.engine(), &CheckEngine::stopped, &window, takePicture);
        // Never hang a script: give up after a minute.
        QTimer::singleShot(60000, &window, [] {
            std::fputs("friendlinks: the check did not finish in time\n", stderr);
            QApplication::exit(1);
        });
    }
    QTimer::singleShot(500, &window, [&window, site] {
        window.siteBox()->setText(site);
        window.queryButton()->click();
    });
}

} // namespace

CheckSettings startSettings(const WindowStart &start, QStringList *unreadableCaFiles)
{
    return withStoredSettings(start.settings, start.givenOptions, loadStoredSettings(windowSettings()), unreadableCaFiles);
}

void applyWindowStart(Form2 &window, const WindowStart &start)
{
    window.settingsAction()->setGivenOptions(start.givenOptions);
    if (start.givenOptions.contains(QLatin1String("--baidu-max-age")))
        window.baiduAgeSetting()->setCommandLineAge(start.settings.baiduMaxAgeMs);
    window.windowGeometry()->restore();
    if (!start.site.isEmpty())
        window.siteBox()->setText(start.site);
    if (start.check && !start.site.isEmpty())
        QTimer::singleShot(0, &window, [&window] { window.queryButton()->click(); });
}

int runWindow(int &argc, char **argv, const WindowStart &start)
{
    if (!displayNamed()) {
        std::fputs(kNoDisplay, stdout);
        return 1;
    }
    g_previousHandler = qInstallMessageHandler(startupMessageHandler);
    QApplication app(argc, argv);
    qInstallMessageHandler(g_previousHandler);
    installQtTranslations(app, QLocale::system());

    QStringList unreadable;
    Form2 window(startSettings(start, &unreadable));
    QApplication::setWindowIcon(window.windowIcon());
    applyWindowStart(window, start);
    setUpAutomation(window);
    window.show();
    if (!unreadable.isEmpty())
        QTimer::singleShot(0, &window, [&window, unreadable] {
            defaultMessageBox().show(&window, applicationTitle(),
                                     QStringLiteral("无法读取证书文件（或其中没有 PEM 证书）：\n%1").arg(unreadable.join(QLatin1Char('\n'))),
                                     MessageIcon::warning);
        });
    return app.exec();
}

} // namespace friendlinks
