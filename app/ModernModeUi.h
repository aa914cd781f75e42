#pragma once

#include <QObject>
#include <QSettings>
#include <QString>

class QAction;
class QLabel;
class QMenu;
class QAbstractItemView;
class QWidget;

namespace friendlinks {

class CheckEngine;

// The window's side of today's web: the check item "现代模式" in the result
// list's right-click menu (it takes effect from the next press of the query
// button, and is remembered for the next start in the application's QSettings),
// the mode the list was checked in at the banner strip's right, and one line in
// the banner strip when a classic check passed over https friend links or the
// checked site's certificate cannot be trusted.
// Other entries of the list's menu are added to listMenu().
class ModernModeUi : public QObject {
    Q_OBJECT
public:
    // The note takes the strip's width less reservedRight pixels (the progress bar's place).
    ModernModeUi(CheckEngine *engine, QAbstractItemView *list, QWidget *bannerStrip, int reservedRight,
                 QObject *parent = nullptr);

    [[nodiscard]] QMenu *listMenu() const { return m_menu; }
    [[nodiscard]] QAction *modernAction() const { return m_modern; }
    [[nodiscard]] QLabel *bannerNote() const { return m_note; }
    // "经典模式" or "现代模式" once a check has started: the mode of the list shown.
    [[nodiscard]] QLabel *modeNote() const { return m_modeNote; }

private:
    void showNote(const QString &text);
    void onFinished();
    void onSiteUnreachable();

    CheckEngine *m_engine;
    QMenu *m_menu = nullptr;
    QAction *m_modern = nullptr;
    QLabel *m_note = nullptr;
    QLabel *m_modeNote = nullptr;
};

// The menu item and the banner strip's names of the two modes.
inline const QString kModernModeCaption = QStringLiteral("现代模式");
inline const QString kClassicModeCaption = QStringLiteral("经典模式");

// Where the window keeps the user's choice of mode: a settings file (organization, application), key.
inline const QString kSettingsOrganization = QStringLiteral("friendlinks");
inline const QString kSettingsApplication = QStringLiteral("friendlinks");
inline constexpr char kModernModeSetting[] = "check/modern";

// The window's settings: an ini file in the user's settings folder on every system
// (~/.config/friendlinks/friendlinks.ini, %APPDATA%\friendlinks\friendlinks.ini), never
// Windows' registry, so QSettings::setPath moves them for tests on Windows too.
[[nodiscard]] QSettings windowSettings();

} // namespace friendlinks
