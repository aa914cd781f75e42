#pragma once

#include <QObject>
#include <QSettings>
#include <QString>

class QAction;

namespace friendlinks {

class CheckEngine;

// The user's choice of mode: the check item "现代模式" (it takes effect from
// the next press of the query button, the running check keeps its own mode),
// remembered for the next start in the window's settings. --modern asks for
// the modern mode this time whatever was remembered.
class ModeSetting : public QObject {
    Q_OBJECT
public:
    ModeSetting(CheckEngine *engine, QObject *parent = nullptr);

    [[nodiscard]] QAction *modernAction() const { return m_modern; }

private:
    QAction *m_modern = nullptr;
};

// Where the window keeps the user's choice of mode: a settings file (organization, application), key.
inline const QString kSettingsOrganization = QStringLiteral("friendlinks");
inline const QString kSettingsApplication = QStringLiteral("friendlinks");
inline constexpr char kModernModeSetting[] = "check/modern";

// The window's settings: an ini file in the user's settings folder on every system
// (~/.config/friendlinks/friendlinks.ini, %APPDATA%\friendlinks\friendlinks.ini), never
// Windows' registry, so QSettings::setPath moves them for tests on Windows too.
[[nodiscard]] QSettings windowSettings();

} // namespace friendlinks
