#pragma once

#include <QString>

namespace friendlinks {

// The program's version, as `--version` says it and the history records it.
inline const QString kProgramVersion = QStringLiteral("8.0");

} // namespace friendlinks
