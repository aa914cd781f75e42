#pragma once

#include "check/SiteResult.h"

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

namespace friendlinks {

// The part of a recorded row that a report's chart point needs (the six
// cells with their red flags, the backlink and baidu facts, and the typed
// values the schema reads from them), read from the row's json as readRowJson
// reads it but without the rest: a report reads some 90,000 rows. None when
// the text is not one json object.
[[nodiscard]] std::optional<ResultRow> chartRow(const QByteArray &payload, bool modern);

// One member of a json object as text: its key as written between the
// quotes, its value's text.
struct JsonMemberText {
    QByteArrayView key;
    QByteArrayView value;
};

// The members of the json object that text holds (not those of objects inside
// it), or none when the text is not one object. Only the structure is read:
// a value is checked when it is parsed.
[[nodiscard]] std::optional<QList<JsonMemberText>> jsonObjectMembers(QByteArrayView text);

} // namespace friendlinks
