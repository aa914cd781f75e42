// 设置…: what the window remembers of its checks' settings, the dialog that shows and changes it, and the rule
// that an option given on the command line wins for that run.
#include "app/BaiduAgeSetting.h"
#include "app/HistorySetting.h"
#include "app/SettingsAction.h"
#include "app/SettingsDialog.h"
#include "app/StoredSettings.h"
#include "app/WindowMain.h"

#include "tests/common/Table.h"
#include "tests/common/WindowFixture.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QSpinBox>
#include <QTemporaryFile>

using namespace friendlinks;

namespace {

StoredSettings everythingChanged()
{
    StoredSettings s;
    s.proxy = StoredSettings::Proxy::Address;
    s.proxyAddress = QStringLiteral("http://127.0.0.1:3128");
    s.timeoutMs = 2500;
    s.jobs = 3;
    s.baiduIntervalMs = 1500;
    s.baiduMaxAgeMinutes = 12 * 60;
    s.caFiles = QStringList{fakeweb::FakeWeb::authorityFile()};
    s.insecure = true;
    s.recordHistory = false;
    return s;
}

struct WindowSettings : WindowFixture {
    [[nodiscard]] static StoredSettings stored() { return loadStoredSettings(windowSettings()); }
    static void store(const StoredSettings &s)
    {
        QSettings settings = windowSettings();
        storeSettings(settings, s);
    }
};

} // namespace

TEST_F(WindowSettings, AFirstStartHasTheDefaultsUsersGet)
{
    const StoredSettings first = stored();
    EXPECT_EQ(first, StoredSettings{});
    EXPECT_EQ(first.proxy, StoredSettings::Proxy::System);
    // Nothing remembered and nothing given: the settings of a check run without options.
    const CheckSettings settings = startSettings(WindowStart{});
    EXPECT_EQ(settings.proxy.type(), QNetworkProxy::DefaultProxy);
    EXPECT_EQ(settings.timeoutMs, CheckSettings{}.timeoutMs);
    EXPECT_EQ(settings.jobs, CheckSettings{}.jobs);
    EXPECT_TRUE(settings.authorityPem.isEmpty());
}

TEST_F(WindowSettings, WhatIsStoredIsReadBackAndNonsenseFallsBackToTheDefault)
{
    store(everythingChanged());
    EXPECT_EQ(stored(), everythingChanged());

    QSettings settings = windowSettings();
    settings.setValue(QLatin1String(kJobsSetting), 500);
    settings.setValue(QLatin1String(kTimeoutSetting), QStringLiteral("soon"));
    settings.setValue(QLatin1String(kProxyAddressSetting), QStringLiteral("nothing"));
    settings.sync();
    const StoredSettings edited = stored();
    EXPECT_EQ(edited.jobs, 8);
    EXPECT_EQ(edited.timeoutMs, 5000);
    EXPECT_EQ(edited.proxy, StoredSettings::Proxy::System);
}

struct GivenCase {
    const char *name;
    QStringList given;
    bool commandLineJobs, commandLineTimeout, commandLineProxy, commandLineInsecure;
};
void PrintTo(const GivenCase &c, std::ostream *os)
{
    *os << c.name;
}

const GivenCase kGiven[] = {
    {"nothing_given", {}, false, false, false, false},
    {"jobs_given", {"--jobs"}, true, false, false, false},
    {"timeout_and_proxy_given", {"--timeout-ms", "--proxy"}, false, true, true, false},
    {"no_proxy_given", {"--no-proxy"}, false, false, true, false},
    {"insecure_given", {"--insecure"}, false, false, false, true},
};

TABLE_TEST(CommandLineWins, OverWhatIsRemembered, kGiven)
{
    const GivenCase &c = GetParam();
    CheckSettings commandLine;
    commandLine.jobs = 5;
    commandLine.timeoutMs = 700;
    commandLine.proxy = QNetworkProxy(QNetworkProxy::NoProxy);
    commandLine.insecure = c.commandLineInsecure;
    const StoredSettings remembered = everythingChanged();
    const CheckSettings s = withStoredSettings(commandLine, c.given, remembered);
    EXPECT_EQ(s.jobs, c.commandLineJobs ? 5 : 3);
    EXPECT_EQ(s.timeoutMs, c.commandLineTimeout ? 700 : 2500);
    EXPECT_EQ(s.proxy, c.commandLineProxy ? QNetworkProxy(QNetworkProxy::NoProxy)
                                          : QNetworkProxy(QNetworkProxy::HttpProxy, "127.0.0.1", 3128));
    EXPECT_TRUE(s.insecure); // given, or remembered
    EXPECT_EQ(s.baiduIntervalMs, 1500);
    EXPECT_EQ(QSslCertificate::fromData(s.authorityPem), fakeweb::FakeWeb::authority());
}

TEST(StoredSettingsTest, UnreadableCertificateFilesAreNamed)
{
    QTemporaryFile notPem;
    ASSERT_TRUE(notPem.open());
    notPem.write("not a certificate\n");
    notPem.flush();
    QStringList unreadable;
    const QByteArray pem = authorityPem({fakeweb::FakeWeb::authorityFile(), notPem.fileName(), "/nonexistent/ca.pem"},
                                        &unreadable);
    EXPECT_EQ(QSslCertificate::fromData(pem), fakeweb::FakeWeb::authority());
    EXPECT_EQ(unreadable, (QStringList{notPem.fileName(), "/nonexistent/ca.pem"}));
}

TEST(StoredSettingsTest, AProxyAddressIsWhatTheCommandLineTakes)
{
    EXPECT_EQ(proxyAddress("http://127.0.0.1:3128"), QNetworkProxy(QNetworkProxy::HttpProxy, "127.0.0.1", 3128));
    EXPECT_EQ(proxyAddress(" proxy.lan:8080 "), QNetworkProxy(QNetworkProxy::HttpProxy, "proxy.lan", 8080));
    for (const char *bad : {"", "nothing", "socks5://127.0.0.1:1080", "http://"})
        EXPECT_FALSE(proxyAddress(QString::fromUtf8(bad))) << bad;
}

TEST_F(WindowSettings, TheDialogShowsWhatIsStoredAndGivesBackWhatIsChosen)
{
    const StoredSettings remembered = everythingChanged();
    QStringList chosenFiles{"/tmp/a.pem", "/tmp/b.pem"};
    SettingsDialog dialog(remembered, {}, nullptr, [&chosenFiles](QWidget *) { return chosenFiles; });
    EXPECT_EQ(dialog.chosen(), remembered);
    EXPECT_EQ(dialog.proxyAddressBox()->text(), "http://127.0.0.1:3128");
    EXPECT_EQ(dialog.jobsBox()->value(), 3);
    EXPECT_EQ(dialog.baiduMaxAgeBox()->currentText(), QStringLiteral("12 小时"));
    EXPECT_FALSE(dialog.commandLineNote()->isVisibleTo(&dialog));

    dialog.proxyChoice()->button(int(StoredSettings::Proxy::None))->click();
    dialog.jobsBox()->setValue(64);
    dialog.timeoutBox()->setValue(9000);
    dialog.baiduMaxAgeBox()->setCurrentIndex(2);
    dialog.insecureBox()->setChecked(false);
    dialog.historyBox()->setChecked(true);
    dialog.addCaFiles();
    dialog.caFilesList()->item(0)->setSelected(true);
    dialog.removeSelectedCaFiles();
    const StoredSettings chosen = dialog.chosen();
    EXPECT_EQ(chosen.proxy, StoredSettings::Proxy::None);
    EXPECT_FALSE(dialog.proxyAddressBox()->isEnabled());
    EXPECT_EQ(chosen.jobs, 64);
    EXPECT_EQ(chosen.timeoutMs, 9000);
    EXPECT_EQ(chosen.baiduMaxAgeMinutes, 24 * 60);
    EXPECT_FALSE(chosen.insecure);
    EXPECT_TRUE(chosen.recordHistory);
    EXPECT_EQ(chosen.caFiles, chosenFiles);
    dialog.jobsBox()->setValue(65); // the command line's bound
    EXPECT_EQ(dialog.chosen().jobs, 64);
}

TEST_F(WindowSettings, OkWaitsForAProxyAddressThatIsOne)
{
    SettingsDialog dialog(StoredSettings{}, {"--jobs", "--proxy"});
    QPushButton *ok = dialog.buttons()->button(QDialogButtonBox::Ok);
    EXPECT_TRUE(ok->isEnabled());
    dialog.proxyChoice()->button(int(StoredSettings::Proxy::Address))->click();
    EXPECT_FALSE(ok->isEnabled());
    dialog.proxyAddressBox()->setText("127.0.0.1");
    EXPECT_FALSE(ok->isEnabled()); // a port is needed without a scheme
    dialog.proxyAddressBox()->setText("127.0.0.1:8080");
    EXPECT_TRUE(ok->isEnabled());
    EXPECT_TRUE(dialog.commandLineNote()->isVisibleTo(&dialog));
    EXPECT_TRUE(dialog.commandLineNote()->text().contains(QStringLiteral("--jobs、--proxy")));
}

TEST_F(WindowSettings, OkStoresTheChoiceAndTheNextCheckRunsWithIt)
{
    open();
    SettingsAction *action = form->settingsAction();
    ASSERT_NE(action, nullptr);
    EXPECT_EQ(action->action()->text(), QStringLiteral("设置…"));
    EXPECT_TRUE(form->findChild<QMenu *>(QStringLiteral("listMenu"))->actions().contains(action->action()));

    SettingsDialog *dialog = action->openDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->chosen(), StoredSettings{});
    dialog->jobsBox()->setValue(2);
    dialog->timeoutBox()->setValue(1234);
    dialog->historyBox()->setChecked(false);
    dialog->baiduMaxAgeBox()->setCurrentIndex(1);
    dialog->proxyChoice()->button(int(StoredSettings::Proxy::Address))->click();
    dialog->proxyAddressBox()->setText(QStringLiteral("http://%1:%2").arg(web.proxy().hostName()).arg(web.proxy().port()));
    dialog->buttons()->button(QDialogButtonBox::Ok)->click();

    EXPECT_EQ(stored().jobs, 2);
    EXPECT_EQ(stored().timeoutMs, 1234);
    EXPECT_EQ(form->engine()->settings().jobs, 2);
    EXPECT_EQ(form->engine()->settings().timeoutMs, 1234);
    EXPECT_EQ(form->engine()->settings().proxy, web.proxy());
    // The menu's own items follow: one choice, wherever it was made.
    EXPECT_FALSE(form->historySetting()->recordAction()->isChecked());
    EXPECT_EQ(form->engine()->settings().baiduMaxAgeMs, 12LL * 60 * 60 * 1000);
    EXPECT_TRUE(form->baiduAgeSetting()->choices().at(1)->isChecked());

    web.world().setPage("http://www.home.com/", "<a href=\"http://www.one.com/\">一号</a>\n");
    EXPECT_TRUE(query("www.home.com"));
    EXPECT_EQ(listRows(form->list()), 1);
}

TEST_F(WindowSettings, AnOptionGivenAtStartWinsOverTheStoredOneForThatRun)
{
    StoredSettings remembered;
    remembered.jobs = 3;
    remembered.timeoutMs = 2000;
    remembered.baiduMaxAgeMinutes = 24 * 60;
    store(remembered);

    WindowStart start;
    start.settings.jobs = 5;
    start.settings.baiduMaxAgeMs = 60 * 1000;
    start.givenOptions = QStringList{"--jobs", "--baidu-max-age"};
    CheckSettings settings = startSettings(start);
    EXPECT_EQ(settings.jobs, 5);
    EXPECT_EQ(settings.timeoutMs, 2000);
    settings.proxy = web.proxy();
    form = std::make_unique<Form2>(settings, &browser, &messages);
    applyWindowStart(*form, start);
    EXPECT_EQ(form->engine()->settings().baiduMaxAgeMs, 60 * 1000);

    // A choice made in the dialog is stored for the next start; this run keeps what was given.
    StoredSettings chosen = remembered;
    chosen.jobs = 7;
    chosen.timeoutMs = 3000;
    chosen.baiduMaxAgeMinutes = 0;
    form->settingsAction()->apply(chosen);
    EXPECT_EQ(stored().jobs, 7);
    EXPECT_EQ(stored().baiduMaxAgeMinutes, 0);
    EXPECT_EQ(form->engine()->settings().jobs, 5);
    EXPECT_EQ(form->engine()->settings().timeoutMs, 3000);
    EXPECT_EQ(form->engine()->settings().baiduMaxAgeMs, 60 * 1000);
}
