#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>

namespace friendlinks {

// The body read through one of the system's own code pages, for charsets
// QStringDecoder does not know on this system: Qt on Windows is built without
// ICU and decodes only UTF-8/16/32 and Latin-1 there, so GB18030, Big5,
// Shift_JIS, EUC-KR and the windows-125x pages go to MultiByteToWideChar.
// charset is a name as pages declare it, any case. Every sequence that is
// cut off, malformed or unassigned becomes one U+FFFD; a lead byte followed
// by an ASCII byte that cannot end it becomes U+FFFD and the ASCII byte is
// read on its own (as Qt's GB18030 decoder does). A leading byte-order mark
// is kept. nullopt when the system has no such code page, and always where Qt
// decodes these charsets itself (Linux).
[[nodiscard]] std::optional<QString> decodeWithCodePage(QByteArrayView body, QByteArrayView charset);

} // namespace friendlinks
