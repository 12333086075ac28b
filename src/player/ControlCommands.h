#pragma once

#include <QObject>
#include <QStringList>

namespace pelto {

class ButtonPress;
class Player;
class PlayerView;
class PlaylistAdder;
class PlaylistModel;
class SeekControl;
class SkinControl;
class VolumeControl;

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

// The procedures the keys, buttons, menus, the playlist window and the media player
// service share: every window and service acts on the program through this one
// object. Playback goes to the player, volume and seeking to their controls, files to
// the adder. What belongs to a window (the add-files dialog, showing or hiding the
// playlist window, the popup menu, raising or closing the main window, the settings
// dialog and the version window) is asked for by a signal, which the program's owner
// connects to that window.
class ControlCommands : public QObject {
    Q_OBJECT
public:
    ControlCommands(Player& player, PlaylistModel& playlist, PlaylistAdder& adder,
                    ButtonPress& buttons, VolumeControl& volume, SeekControl& seek,
                    SkinControl& skins, QObject* parent = nullptr);

    // The window the open dialog belongs to; none opens no dialog.
    void setView(PlayerView* view) { m_view = view; }

    void run(Command command);
    // A main window button was used (code 0..7, as PressedButton counts them): its
    // pressed image shows for 80 ms, then its action runs. The power button reacts to
    // a press of any mouse button but opens the menu only for the left one; the others
    // act on a left-button click.
    void useButton(int code, bool leftButton = true);

    // Plays from the top of the playlist: row 1 becomes the only selected row and the
    // current row (with the highlight) and plays from its beginning. Nothing happens
    // with an empty playlist.
    void PlaySoundTop();
    // Makes row n current and plays it (a double click in the playlist).
    void playRow(int n);
    // Lets the user choose files, replaces the playlist with them and plays the first.
    void OpenSoundFile();
    // Files chosen in the add dialog: appended after a short pause that lets the
    // windows repaint once the dialog has gone. Nothing is played.
    void addChosenFiles(const QStringList& files);
    // A drop of local files on the main window: replaces the playlist with the audio
    // files and playlists among them and plays the first. A drop that gives no entry
    // leaves the playlist and playback as they were.
    void dropFiles(const QStringList& localPaths);
    // A drop on the playlist window: appended, nothing played.
    void addDroppedFiles(const QStringList& localPaths);
    // A file to add and play, as a later launch hands it over.
    void openFile(const QString& path) { emit fileOpenRequested(path); }

    // The volume: a step of 0..31 (the tray's items) or a fraction of full.
    void setVolumeStep(int step);
    void setVolumeLevel(double level);
    // Seeks to a second of the song (nothing while stopped).
    void seekTo(int seconds);
    void setRepeat(bool on);
    // Makes a skin current and applies it (the menu's skin entries).
    void chooseSkin(const QString& name);

    void raiseMainWindow() { emit raiseRequested(); }
    // Ends the program the normal way: the main window's unload saves everything.
    void endProgram() { emit endRequested(); }
    void showSettingForm() { emit settingFormRequested(); }
    void showVersionInfo() { emit versionInfoRequested(); }

signals:
    // The add-files dialog ("プレイリストに追加する").
    void addFilesRequested();
    // Show the playlist window when hidden, hide it when shown.
    void playlistWindowToggleRequested();
    // The popup menu at the pointer.
    void trayMenuRequested();
    void raiseRequested();
    void endRequested();
    void settingFormRequested();
    void versionInfoRequested();
    void fileOpenRequested(const QString& path);
    // The volume step (WavVolume, 0 to 31) changed.
    void volumeChanged(int step);

private:
    Player& m_player;
    PlaylistModel& m_playlist;
    PlaylistAdder& m_adder;
    ButtonPress& m_buttons;
    VolumeControl& m_volume;
    SeekControl& m_seek;
    SkinControl& m_skins;
    PlayerView* m_view = nullptr;
};

} // namespace pelto
