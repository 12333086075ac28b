#pragma once

namespace pelto {

class MainPlayer;
class Player;

// A diagnostic for tests of the running program. When the environment variable
// PELTO_TEST_STATE_FILE names a file, the first copy writes its playlist and player
// state there as one JSON object after its load and again after every hand-off it has
// dealt with:
//   {"handOffs": n, "rows": [path, ...], "cells": [[title, artist, length], ...],
//    "PlayListTrNum": n, "PlayState": n,
//    "DmyFileName": path, "WavVolume": n, "Skin_FilePath": name,
//    "window": [x, y, w, h], "volumeKnob": [x, y]}
// The window and the volume knob (in the window) are in pixels.
// The file is replaced whole, so a reader never sees half of it. Unset, nothing is
// written.
void writeTestStateFile(const Player& player, const MainPlayer& window, int handOffs);

} // namespace pelto
