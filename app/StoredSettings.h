#pragma once

#include "check/CheckSettings.h"

#include <QNetworkProxy>
#include <QSettings>
#include <QString>
#include <QStringList>

#include <optional>

namespace friendlinks {

// The check settings the window remembers (设置…), in the window's settings
// beside the mode. The Baidu max age and the history's on/off are those of the
// list menu's own items (BaiduAgeSetting, HistorySetting), kept under their keys.
struct StoredSettings {
    enum class Proxy { System, None, Address };
    Proxy proxy = Proxy::System; // the system's settings, as browsers use them
    QString proxyAddress;        // for Address: http://HOST:PORT
    int timeoutMs = 5000;
    int jobs = 8;
    int baiduIntervalMs = 0;
    int baiduMaxAgeMinutes = 0;
    QStringList caFiles;         // PEM files trusted besides the system's
    bool insecure = false;
    bool recordHistory = true;

    bool operator==(const StoredSettings &) const = default;
};

[[nodiscard]] StoredSettings loadStoredSettings(const QSettings &settings);
void storeSettings(QSettings &settings, const StoredSettings &stored);

// An HTTP proxy address as --proxy takes it (http://HOST:PORT, or HOST:PORT); none when it is no such address.
[[nodiscard]] std::optional<QNetworkProxy> proxyAddress(const QString &text);

// The PEM text of the files; *unreadable lists those that cannot be read or hold no certificate.
[[nodiscard]] QByteArray authorityPem(const QStringList &files, QStringList *unreadable = nullptr);

// The settings a check runs with: base (the command line's), each remembered
// value put over it unless its option is among given ("--jobs", "--proxy", ...):
// an option given at start wins for that run. The Baidu max age is not among
// them: BaiduAgeSetting hands it to the engine. *unreadable as authorityPem says.
[[nodiscard]] CheckSettings withStoredSettings(CheckSettings base, const QStringList &given, const StoredSettings &stored,
                                               QStringList *unreadable = nullptr);

inline constexpr char kProxySetting[] = "check/proxy"; // "system", "none" or "address"
inline constexpr char kProxyAddressSetting[] = "check/proxyAddress";
inline constexpr char kTimeoutSetting[] = "check/timeoutMs";
inline constexpr char kJobsSetting[] = "check/jobs";
inline constexpr char kBaiduIntervalSetting[] = "check/baiduIntervalMs";
inline constexpr char kCaFilesSetting[] = "check/caFiles";
inline constexpr char kInsecureSetting[] = "check/insecure";

} // namespace friendlinks
