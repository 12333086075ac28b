#pragma once

#include <QString>

class QWidget;

namespace pelto {

class ControlCommands;

// Adds files to the playlist through the open dialog "プレイリストに追加する",
// starting in the current song's folder: the files chosen (a ".m3u" gives its
// entries, any other file becomes a row) are appended after a short pause that lets
// the windows repaint once the dialog has gone. Nothing is played and the current row
// stays; a cancelled dialog changes nothing.
void AddSound_PlayList(ControlCommands& commands, const QString& currentSong,
                       QWidget* dialogParent);

} // namespace pelto
