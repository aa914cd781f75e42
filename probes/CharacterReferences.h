#pragma once

#include <QString>
#include <QStringView>

namespace friendlinks {

// Where a reference is read: browsers treat a name without ";" differently in
// an attribute value ("&copy=2" stays as written there, "&copy 2" is "© 2" in both).
enum class ReferenceContext { Attribute, Text };

// Decodes character references as a browser's tokenizer does: numeric ones
// (with 128-159 read as windows-1252, as browsers do: "&#128;" is "€"), and
// named ones from a small table (the old names browsers accept without ";",
// and the common ones such as &hellip; &mdash; &ldquo; &euro;), the longest
// name that matches winning ("&notit;" is "¬it;"). Unknown names stay as written.
[[nodiscard]] QString decodeCharacterReferences(QStringView text,
                                                ReferenceContext context = ReferenceContext::Attribute);

} // namespace friendlinks
