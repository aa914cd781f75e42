#include "app/StoredSettings.h"

#include "app/BaiduAgeSetting.h"
#include "app/HistorySetting.h"

#include <QFile>
#include <QUrl>

#include <algorithm>

namespace friendlinks {
namespace {

// The bounds the command line sets for the same options.
constexpr int kMaxTimeoutMs = 10 * 60 * 1000;
constexpr int kMaxBaiduIntervalMs = 10 * 60 * 1000;
constexpr qsizetype kMaxPemBytes = 4 * 1024 * 1024;

constexpr std::pair<StoredSettings::Proxy, const char *> kProxyNames[] = {
    {StoredSettings::Proxy::System, "system"},
    {StoredSettings::Proxy::None, "none"},
    {StoredSettings::Proxy::Address, "address"},
};

int boundedInt(const QSettings &settings, const char *key, int fallback, int low, int high)
{
    bool ok = false;
    const int value = settings.value(QLatin1String(key), fallback).toInt(&ok);
    return ok && value >= low && value <= high ? value : fallback;
}

bool given(const QStringList &options, const char *name)
{
    return options.contains(QLatin1String(name));
}

} // namespace

StoredSettings loadStoredSettings(const QSettings &settings)
{
    StoredSettings stored;
    const QString proxy = settings.value(QLatin1String(kProxySetting)).toString();
    for (const auto &[choice, name] : kProxyNames)
        if (proxy == QLatin1String(name))
            stored.proxy = choice;
    stored.proxyAddress = settings.value(QLatin1String(kProxyAddressSetting)).toString();
    if (stored.proxy == StoredSettings::Proxy::Address && !proxyAddress(stored.proxyAddress))
        stored.proxy = StoredSettings::Proxy::System; // an address edited by hand into nonsense
    stored.timeoutMs = boundedInt(settings, kTimeoutSetting, stored.timeoutMs, 1, kMaxTimeoutMs);
    stored.jobs = boundedInt(settings, kJobsSetting, stored.jobs, 1, kMaxJobs);
    stored.baiduIntervalMs = boundedInt(settings, kBaiduIntervalSetting, stored.baiduIntervalMs, 0, kMaxBaiduIntervalMs);
    stored.baiduMaxAgeMinutes = boundedInt(settings, kBaiduMaxAgeSetting, 0, 0, 366 * 24 * 60);
    stored.caFiles = settings.value(QLatin1String(kCaFilesSetting)).toStringList();
    stored.insecure = settings.value(QLatin1String(kInsecureSetting), false).toBool();
    stored.recordHistory = settings.value(QLatin1String(kRecordHistorySetting), true).toBool();
    return stored;
}

void storeSettings(QSettings &settings, const StoredSettings &stored)
{
    for (const auto &[choice, name] : kProxyNames)
        if (stored.proxy == choice)
            settings.setValue(QLatin1String(kProxySetting), QLatin1String(name));
    settings.setValue(QLatin1String(kProxyAddressSetting), stored.proxyAddress);
    settings.setValue(QLatin1String(kTimeoutSetting), stored.timeoutMs);
    settings.setValue(QLatin1String(kJobsSetting), stored.jobs);
    settings.setValue(QLatin1String(kBaiduIntervalSetting), stored.baiduIntervalMs);
    settings.setValue(QLatin1String(kBaiduMaxAgeSetting), stored.baiduMaxAgeMinutes);
    settings.setValue(QLatin1String(kCaFilesSetting), stored.caFiles);
    settings.setValue(QLatin1String(kInsecureSetting), stored.insecure);
    settings.setValue(QLatin1String(kRecordHistorySetting), stored.recordHistory);
}

std::optional<QNetworkProxy> proxyAddress(const QString &text)
{
    const QString trimmed = text.trimmed();
    const bool schemeGiven = trimmed.contains(QLatin1String("://"));
    const QUrl url(schemeGiven ? trimmed : QStringLiteral("http://") + trimmed, QUrl::StrictMode);
    if (trimmed.isEmpty() || !url.isValid() || url.host().isEmpty() || (!schemeGiven && url.port() < 0)
        || url.scheme().compare(QLatin1String("http"), Qt::CaseInsensitive) != 0)
        return std::nullopt;
    return QNetworkProxy(QNetworkProxy::HttpProxy, url.host(), quint16(url.port(8080)), url.userName(), url.password());
}

QByteArray authorityPem(const QStringList &files, QStringList *unreadable)
{
    QByteArray pem;
    for (const QString &path : files) {
        QFile file(path);
        const QByteArray text = file.open(QIODevice::ReadOnly) ? file.read(kMaxPemBytes) : QByteArray();
        if (!text.contains("-----BEGIN CERTIFICATE-----")) {
            if (unreadable)
                *unreadable << path;
            continue;
        }
        pem += text + '\n';
    }
    return pem;
}

CheckSettings withStoredSettings(CheckSettings base, const QStringList &options, const StoredSettings &stored,
                                 QStringList *unreadable)
{
    if (!given(options, "--proxy") && !given(options, "--no-proxy")) {
        switch (stored.proxy) {
        case StoredSettings::Proxy::System: base.proxy = QNetworkProxy(QNetworkProxy::DefaultProxy); break;
        case StoredSettings::Proxy::None: base.proxy = QNetworkProxy(QNetworkProxy::NoProxy); break;
        case StoredSettings::Proxy::Address:
            base.proxy = proxyAddress(stored.proxyAddress).value_or(QNetworkProxy(QNetworkProxy::DefaultProxy));
            break;
        }
    }
    if (!given(options, "--timeout-ms"))
        base.timeoutMs = stored.timeoutMs;
    if (!given(options, "--jobs"))
        base.jobs = std::clamp(stored.jobs, 1, kMaxJobs);
    if (!given(options, "--baidu-interval-ms"))
        base.baiduIntervalMs = stored.baiduIntervalMs;
    if (!given(options, "--ca-file"))
        base.authorityPem = authorityPem(stored.caFiles, unreadable);
    if (!given(options, "--insecure"))
        base.insecure = stored.insecure;
    return base;
}

} // namespace friendlinks
