#pragma once

#include <QString>

namespace pelto {

class Session;

// A diagnostic for tests of the running program. When the environment variable
// PELTO_TEST_STATE_FILE names a file, the entry has the first copy write its playlist
// and player state there as one JSON object after its load, after every hand-off it
// has dealt with and after every tray menu command:
//   {"handOffs": n, "rows": [path, ...], "cells": [[title, artist, length], ...],
//    "PlayListTrNum": n, "PlayState": n,
//    "DmyFileName": path, "WavVolume": n, "Skin_FilePath": name,
//    "window": [x, y, w, h], "volumeKnob": [x, y]}
// The window and the volume knob (in the window) are in pixels.
// The file is replaced whole, so a reader never sees half of it.
//
// Writes `path` as the session goes on; the entry starts it from the session's
// construction, and only when the variable is set.
void watchForTestStateFile(Session& session, const QString& path);

} // namespace pelto
