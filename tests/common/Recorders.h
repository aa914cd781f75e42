#pragma once

#include "ui/Platform.h"

#include <QStringList>

namespace friendlinks {

// Records what would have opened in the browser.
class RecordingBrowser : public Browser {
public:
    bool open(const QString &address) override
    {
        opened << address;
        return works;
    }
    QStringList opened;
    bool works = true;
};

struct ShownMessage {
    QString title;
    QString text;
    MessageIcon icon;
};

// Records message boxes instead of showing them.
class RecordingMessageBox : public MessageBox {
public:
    void show(QWidget *, const QString &title, const QString &text, MessageIcon icon) override
    {
        shown.push_back({title, text, icon});
    }
    std::vector<ShownMessage> shown;
};

// Answers the save dialog with a set path (empty: cancelled) and records the
// titles it was asked with and the names it suggested.
class RecordingSaveDialog : public SaveDialog {
public:
    QString askSaveFile(QWidget *, const QString &title, const QString &suggestedName, const QString &) override
    {
        titles << title;
        suggested << suggestedName;
        return answer;
    }
    QString answer;
    QStringList titles;
    QStringList suggested;
};

} // namespace friendlinks
