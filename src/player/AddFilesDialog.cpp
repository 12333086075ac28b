#include "player/AddFilesDialog.h"

#include "player/ControlCommands.h"
#include "player/SoundFileDialog.h"

namespace pelto {

void AddSound_PlayList(ControlCommands& commands, const QString& currentSong,
                       QWidget* dialogParent) {
    if (const auto chosen =
            chooseSoundFiles(dialogParent, QStringLiteral("プレイリストに追加する"), currentSong))
        commands.addChosenFiles(*chosen);
}

} // namespace pelto
