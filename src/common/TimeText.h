#pragma once

#include <QString>

namespace pelto {

// A length or position in whole seconds as "mm:ss": the whole minutes with at least
// two digits (three or more from 100 minutes on), ":", the seconds with two digits.
// 245 gives "04:05", 6000 gives "100:00". Negative values show as "00:00".
QString timeText(qint64 seconds);

} // namespace pelto
