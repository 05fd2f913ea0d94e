// The compiled-in texts of both languages, under their table keys: the
// language code's digit followed by the five-digit text key ("210000" is
// text key 10000 in English).
#pragma once

#include <QString>

namespace tarvelo {

// The name of component i (0..59 of common/Components.h) is text key
// kComponentNameKey + i.
inline constexpr long kComponentNameKey = 93001;

// The text stored under `tableKey`, or the empty text when there is none.
// Keys compare as exact strings.
QString lookupText(const QString& tableKey);

// Number of entries in the table (two per text key).
int textTableSize();

} // namespace tarvelo
