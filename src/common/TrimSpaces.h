#pragma once

#include <QString>

namespace pelto {

// A text with the space character (U+0020) removed at both ends; tabs, full-width
// spaces (U+3000) and every other blank stay. Tag values are shown trimmed this way.
QString trimSpaces(QStringView text);

} // namespace pelto
