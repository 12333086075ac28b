#pragma once

#include "player/ButtonPress.h"
#include "player/ControlCommands.h"
#include "player/InfoDisplay.h"
#include "player/KeyCommands.h"
#include "player/Player.h"
#include "player/SeekControl.h"
#include "player/VolumeControl.h"
#include "playlist/PlaylistAdder.h"
#include "playlist/PlaylistModel.h"
#include "playlist/RowFactsCache.h"
#include "settings/Settings.h"
#include "skin/SkinControl.h"

#include <QObject>

namespace pelto {

class PlayerView;

// The running program's logic without its windows: the settings, the playlist with
// its adder and row cache, the player, the displays of the main window, the skin, the
// volume and seek controls, the button timer, the commands and the keys, wired to
// each other. The program's owner adds the windows and services; tests drive the same
// objects with a view of their own.
class ProgramLogic : public QObject {
    Q_OBJECT
public:
    explicit ProgramLogic(QObject* parent = nullptr);

    // The window the displays draw into and the open dialog belongs to; a new skin is
    // applied to it first. It must outlive its use here.
    void setView(PlayerView* view);

    Settings settings;
    PlaylistModel playlist;
    // The rows files made, kept from one run to the next (beside Pelto.cfg).
    RowFactsCache rowFacts;
    PlaylistAdder adder{playlist, rowFacts.reader()};
    Player player{settings, playlist};
    InfoDisplay display{player, settings};
    SkinControl skins{settings};
    ButtonPress buttons;
    VolumeControl volume{settings, &player};
    SeekControl seek{player, display};
    ControlCommands commands{player, playlist, adder, buttons, volume, seek, skins};
    KeyCommands keys{commands};

private:
    PlayerView* m_view = nullptr;
};

} // namespace pelto
