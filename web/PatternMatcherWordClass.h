#pragma once

#include <QString>

namespace friendlinks {

// The pattern with every \w and \W (also inside bracket expressions) written
// as explicit ASCII classes that case-insensitive matching leaves ASCII: RE2
// folds k and s to the Kelvin sign and the long s, so a plain [A-Za-z] would
// still let those two through. Brackets that hold \w or \W turn case folding
// off for themselves and spell the other case of their letters out instead.
// Everything else of the pattern is passed on unchanged.
[[nodiscard]] QString asciiWordClasses(const QString &pattern);

} // namespace friendlinks
