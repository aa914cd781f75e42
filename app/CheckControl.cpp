#include "app/CheckControl.h"

#include "app/MessageArea.h"
#include "check/CheckEngine.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

namespace friendlinks {

CheckControl::CheckControl(CheckEngine *engine, QLineEdit *siteBox, QPushButton *button, MessageArea *area,
                           std::function<void()> query, QWidget *window)
    : QObject(window)
    , m_engine(engine)
    , m_siteBox(siteBox)
    , m_button(button)
    , m_area(area)
    , m_query(std::move(query))
    , m_queryCaption(button->text())
{
    m_stop = new QAction(kStopCaption, this);
    m_stop->setObjectName(QStringLiteral("stopCheck"));
    m_stop->setShortcut(Qt::Key_Escape);
    m_stop->setShortcutContext(Qt::WindowShortcut);
    m_stop->setEnabled(false);
    window->addAction(m_stop);
    connect(m_stop, &QAction::triggered, this, &CheckControl::stop);

    connect(m_button, &QPushButton::clicked, this, &CheckControl::press);
    connect(m_siteBox, &QLineEdit::returnPressed, m_button, &QPushButton::click);
    connect(m_siteBox, &QLineEdit::textChanged, this, [this] { updateCaption(); });
    // The engine says it runs only once started() has gone out.
    connect(engine, &CheckEngine::started, this, [this] { updateCaption(true); });
    connect(engine, &CheckEngine::progress, this, [this] { updateCaption(); }); // a re-check starts with it
    connect(engine, &CheckEngine::siteFinished, this, [this] { updateCaption(); });
    connect(engine, &CheckEngine::recheckFinished, this, [this] { updateCaption(); });
    connect(engine, &CheckEngine::stopped, this, [this] { updateCaption(); });
}

bool CheckControl::pressStops() const
{
    return m_button->text() == kStopCaption;
}

void CheckControl::press()
{
    if (pressStops()) {
        stop();
        return;
    }
    if (!m_engine->isRunning()) {
        m_query();
        return;
    }
    // Another site while a check runs: that check stops, and the area says how far it came.
    const QString earlier = m_engine->results()->outcome().site;
    int checked = 0;
    int total = 0;
    const auto got = connect(m_engine, &CheckEngine::stopped, this, [&](int c, int t) {
        checked = c;
        total = t;
    });
    m_engine->stop();
    disconnect(got);
    m_query();
    m_area->addNote(replacedText(earlier, checked, total));
}

bool CheckControl::stop()
{
    return m_engine->stop();
}

void CheckControl::updateCaption(bool starting)
{
    const bool running = starting || m_engine->isRunning();
    m_stop->setEnabled(running);
    const bool sameSite = m_siteBox->text().trimmed() == m_engine->results()->outcome().site;
    m_button->setText(running && sameSite ? kStopCaption : m_queryCaption);
}

} // namespace friendlinks
