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

} // namespace friendlinks
