#pragma once

#include <QObject>

class QAction;
class QLabel;
class QMenu;
class QTreeWidget;
class QWidget;

namespace friendlinks {

class CheckEngine;

// The window's side of today's web: the check item "现代模式" in the result
// list's right-click menu (it takes effect from the next press of the query
// button), and one line in the banner strip when a classic check passed over
// https friend links or the checked site's certificate cannot be trusted.
// Other entries of the list's menu are added to listMenu().
class ModernModeUi : public QObject {
    Q_OBJECT
public:
    // The note takes the strip's width less reservedRight pixels (the progress bar's place).
    ModernModeUi(CheckEngine *engine, QTreeWidget *list, QWidget *bannerStrip, int reservedRight,
                 QObject *parent = nullptr);

    [[nodiscard]] QMenu *listMenu() const { return m_menu; }
    [[nodiscard]] QAction *modernAction() const { return m_modern; }
    [[nodiscard]] QLabel *bannerNote() const { return m_note; }

private:
    void showNote(const QString &text);
    void onFinished();
    void onSiteUnreachable();

    CheckEngine *m_engine;
    QMenu *m_menu = nullptr;
    QAction *m_modern = nullptr;
    QLabel *m_note = nullptr;
};

} // namespace friendlinks
