#pragma once

#include <QString>

namespace pelto {

// The version as the about box shows it: major, ".", the minor number with two digits
// (a leading "0" below 10), then "." and the revision when it is not 0. Version 1.12
// revision 0 is "1.12", minor 5 gives "1.05", revision 3 adds ".3".
QString versionCaption(int major, int minor, int revision);

// The about box's animation counter after one tick: 1, 2, 3, 4, 5, then 1 again.
// It is 0 before the first tick.
int nextAnimeFrame(int frame);

} // namespace pelto
