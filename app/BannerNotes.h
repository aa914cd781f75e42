#pragma once

#include "check/SiteResult.h"

#include <QObject>

class QLabel;
class QWidget;

namespace friendlinks {

class CheckEngine;

// The banner strip's word at its right: the mode the list was checked in (from
// the start of a check). The check's notes are the message area's (MessageArea),
// below the strip, where the strip's picture does not stand behind them.
class BannerNotes : public QObject {
    Q_OBJECT
public:
    // The mode takes its place left of the strip's last reservedRight pixels (the progress bar's place).
    BannerNotes(CheckEngine *engine, QWidget *bannerStrip, int reservedRight, QObject *parent = nullptr);

    // "经典模式" or "现代模式" once a check has started: the mode of the list shown.
    [[nodiscard]] QLabel *modeLabel() const { return m_mode; }

    // Shows the mode of a check that ended.
    void showResult(const SiteResult &result);

private:
    QLabel *m_mode = nullptr;
};

} // namespace friendlinks
