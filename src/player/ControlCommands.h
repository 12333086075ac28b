#pragma once

#include <functional>

namespace pelto {

class Player;

// The commands the main window's keys and skinned buttons give.
enum class Command {
    PlayBackSound,
    Play,
    PlayPause,
    PlayStop,
    PlayNextSound,
    PlaySoundTop,
    OpenSoundFile,
    AddSound_PlayList,
    VolumeUp,
    VolumeDown,
    SeekForward,
    SeekBackward,
    View_PlayList,
    PopupTrayMenu
};

// How far an arrow key seeks, in seconds.
constexpr int kSeekStepSec = 5;

// Plays from the top of the playlist: row 1 becomes the only selected row and the
// current row (with the highlight) and plays from its beginning. Nothing happens with
// an empty playlist.
void PlaySoundTop(Player& player);

// Runs the commands of the keys and buttons. Playback goes to the player, volume and
// seeking to its bars; the commands that belong to other windows (adding files from
// the playlist window, showing or hiding it, the tray's popup menu) go to hooks those
// windows install, and do nothing while a hook is unset.
class ControlCommands {
public:
    explicit ControlCommands(Player& player);

    // Shows the playlist window's add-files dialog and adds the chosen files.
    std::function<void()> AddSound_PlayList;
    // Shows the playlist window when hidden, hides it when shown.
    std::function<void()> View_PlayList_Menu_Click;
    // Pops up the tray menu at the pointer.
    std::function<void()> popupTrayMenu;

    void run(Command command);

    // A main window button was used (code 0..7, as PressedButton counts them): its
    // pressed image shows for 80 ms, then its action runs. The power button reacts to
    // a press of any mouse button but opens the menu only for the left one; the others
    // act on a left-button click.
    void useButton(int code, bool leftButton = true);

private:
    Player& m_player;
};

} // namespace pelto
