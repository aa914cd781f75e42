#pragma once

#include "check/CheckNotes.h"

#include <QList>
#include <QObject>
#include <QString>

class QLabel;
class QWidget;

namespace friendlinks {

class CheckEngine;

// The banner strip's words: at its right the mode the list was checked in
// (from the start of a check), across the rest the notes of the last check
// (CheckNotes, as the command line says them) on one line, the whole as its
// tip. A Baidu block is told as it happens; a new check clears the line.
class BannerNotes : public QObject {
    Q_OBJECT
public:
    // The notes take the strip's width less reservedRight pixels (the progress bar's place).
    BannerNotes(CheckEngine *engine, QWidget *bannerStrip, int reservedRight, QObject *parent = nullptr);

    [[nodiscard]] QLabel *noteLabel() const { return m_note; }
    // "经典模式" or "现代模式" once a check has started: the mode of the list shown.
    [[nodiscard]] QLabel *modeLabel() const { return m_mode; }

    // Shows what a check that ended has to say (nothing to say hides the line).
    void showResult(const SiteResult &result);
    // Adds a note of the window's own after the line shown (the history's
    // trouble), or in front of it when it matters more than what the check said.
    void addNote(const QString &text, bool first = false);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showNote(const QString &text);
    // The strip's own blues behind the note, so the strip's title does not show through it.
    void coverStripTitle();

    QWidget *m_strip = nullptr;
    QLabel *m_note = nullptr;
    QLabel *m_mode = nullptr;
};

// The banner's line for a check's notes, joined by "；": the mode is shown
// apart, and the window's own words say how to list what a classic check passed over.
[[nodiscard]] QString bannerText(const QList<CheckNote> &notes);

} // namespace friendlinks
