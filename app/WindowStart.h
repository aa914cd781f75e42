#pragma once

#include "check/CheckSettings.h"

#include <QString>
#include <QStringList>

namespace friendlinks {

// How the window is asked to start: the settings of its command line, which
// of them were given there (by option name, "--jobs": those win over what the
// window remembers, for this run), a site for the box (else the last one
// checked) and whether to press 查询 once the window shows.
struct WindowStart {
    CheckSettings settings;
    QStringList givenOptions;
    QString site;
    bool check = false;
};

} // namespace friendlinks
