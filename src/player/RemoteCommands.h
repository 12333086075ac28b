#pragma once

#include <QString>

#include <optional>

namespace pelto {

class ControlCommands;
class Player;
class PlaylistModel;

// The commands the shell gives a running copy (`pelto --next`), by their names:
// "play-pause", "play", "pause", "stop", "next", "previous" and "status". Each runs
// the procedure of its key and tray menu item through ControlCommands::run, with the
// player's state deciding as the media player service decides for its Play, Pause
// and PlayPause:
//   play-pause  stopped: Play (the key X), else PlayPause (the key C)
//   play        paused: PlayPause; stopped: Play; playing: nothing
//   pause       playing: PlayPause, else nothing
//   stop        PlayStop (V);  next  PlayNextSound (B);  previous  PlayBackSound (Z)
//   status      nothing: only the state is read
// Play with an empty playlist asks for files (a dialog) as the key does; it runs once
// the caller has answered (on the next turn of the event loop), so the shell does not
// wait for the dialog.
//
// Returns the reply for the shell: for "status" the state in lines of
// "name: value" (statusText), empty for the others; nothing for a name it does not
// know.
std::optional<QString> runRemoteCommand(const QString& name, ControlCommands& commands,
                                        const Player& player, const PlaylistModel& playlist);

// The player's state as `pelto --status` prints it, one "name: value" line each:
//   state: playing | paused | stopped
//   row: the current row and the number of rows ("3/5"; "0/5" when none is current)
//   title: the current row's title, on one line (empty when there is no current row)
//   position: the position and the open song's length ("01:05/04:10")
QString statusText(const Player& player, const PlaylistModel& playlist);

} // namespace pelto
