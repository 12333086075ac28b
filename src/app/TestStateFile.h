#pragma once

namespace pelto {

class Player;

// A diagnostic for tests of the running program. When the environment variable
// PELTO_TEST_STATE_FILE names a file, the first copy writes its playlist and player
// state there as one JSON object after its load and again after every hand-off it has
// dealt with:
//   {"handOffs": n, "rows": [path, ...], "PlayListTrNum": n, "PlayState": n,
//    "DmyFileName": path}
// The file is replaced whole, so a reader never sees half of it. Unset, nothing is
// written.
void writeTestStateFile(const Player& player, int handOffs);

} // namespace pelto
