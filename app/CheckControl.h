#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QAction;
class QLineEdit;
class QPushButton;
class QWidget;

namespace friendlinks {

class CheckEngine;
class MessageArea;

// How the user starts and stops a check: Enter in the site box presses the
// query button; while a check (or a re-check) of the site in the box runs the
// button reads "停止" and stops it, as Esc does anywhere in the window. With
// another site typed in the box the button reads "查 询" again and starts that
// check at once, the message area saying how far the earlier one came.
class CheckControl : public QObject {
    Q_OBJECT
public:
    // query starts the check of the site in the box.
    CheckControl(CheckEngine *engine, QLineEdit *siteBox, QPushButton *button, MessageArea *area,
                 std::function<void()> query, QWidget *window);

    // What a press of the button does now: starts, stops or restarts.
    void press();
    // Stops the running check; false when none runs.
    bool stop();
    // The button reads "停止": a press stops the check.
    [[nodiscard]] bool pressStops() const;
    [[nodiscard]] QAction *stopAction() const { return m_stop; }

private:
    // starting: the engine is starting a check (it does not say it runs yet).
    void updateCaption(bool starting = false);

    CheckEngine *m_engine;
    QLineEdit *m_siteBox;
    QPushButton *m_button;
    MessageArea *m_area;
    std::function<void()> m_query;
    QAction *m_stop = nullptr;
    QString m_queryCaption;
};

inline const QString kStopCaption = QStringLiteral("停止");

} // namespace friendlinks
