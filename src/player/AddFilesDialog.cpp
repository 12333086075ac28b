#include "player/AddFilesDialog.h"

#include "player/Player.h"
#include "player/SoundFileDialog.h"

namespace pelto {

void AddSound_PlayList(Player& player, QWidget* dialogParent) {
    const auto chosen = chooseSoundFiles(dialogParent, QStringLiteral("プレイリストに追加する"),
                                         player.DmyFileName());
    if (!chosen)
        return;
    player.buttons().pause(
        kAfterDialogMs, [&player, files = *chosen] { player.adder().addDialogSelection(files); });
}

} // namespace pelto
