#pragma once

class QWidget;

namespace pelto {

class Player;

// Adds files to the playlist through the open dialog "プレイリストに追加する": the
// files chosen (a ".m3u" gives its entries, any other file becomes a row) are appended
// after a short pause that lets the windows repaint once the dialog has gone. Nothing
// is played and the current row stays; a cancelled dialog changes nothing.
void AddSound_PlayList(Player& player, QWidget* dialogParent);

} // namespace pelto
