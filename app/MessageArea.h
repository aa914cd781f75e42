#pragma once

#include "app/MessageTexts.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>

class QAction;

namespace friendlinks {

class CheckEngine;

// The window's message line, a strip of its own below the banner: what the
// last check has to tell (its notes, its counts, its mode), what the window
// itself has to say (the history's trouble, a stopped check), the latest
// first, each in its tone (errors red, the mode and counts grey). What does
// not fit is elided; the tip holds every message in full, and 复制 on its
// menu copies them, one a line. A new check clears it.
class MessageArea : public QWidget {
    Q_OBJECT
public:
    // Its height at the designed size; the window grows by it.
    static constexpr int kHeightTwips = 300;

    explicit MessageArea(CheckEngine *engine, QWidget *parent = nullptr);

    // The latest first.
    [[nodiscard]] const QList<Message> &messages() const { return m_messages; }
    [[nodiscard]] QStringList texts() const;
    [[nodiscard]] QAction *copyAction() const { return m_copy; }

    // What a check (or re-check) that ended has to say, in front of what is there;
    // what it said while it ran goes, as the end says it again.
    void showResult(const SiteResult &result);
    // A message of the window's own, in front.
    void addNote(const QString &text, Message::Tone tone = Message::Tone::Normal);
    void clear();
    // A state the list is in, at the line's right in grey (the problem filter's count); empty for none.
    void setStatus(const QString &status);
    [[nodiscard]] QString status() const { return m_status; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void addInFront(const QList<Message> &messages);
    void changed();

    CheckEngine *m_engine;
    QList<Message> m_messages;
    QString m_status;
    QAction *m_copy = nullptr;
};

} // namespace friendlinks
