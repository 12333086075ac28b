#include "player/ControlCommands.h"

#include "player/ButtonPress.h"
#include "player/Player.h"
#include "player/PlayerView.h"
#include "player/SeekControl.h"
#include "player/VolumeControl.h"
#include "playlist/PlaylistAdder.h"
#include "skin/SkinControl.h"

namespace pelto {

ControlCommands::ControlCommands(Player& player, PlaylistModel& playlist, PlaylistAdder& adder,
                                 ButtonPress& buttons, VolumeControl& volume, SeekControl& seek,
                                 SkinControl& skins, QObject* parent)
    : QObject(parent), m_player(player), m_playlist(playlist), m_adder(adder), m_buttons(buttons),
      m_volume(volume), m_seek(seek), m_skins(skins) {
    connect(&player, &Player::openFilesRequested, this, &ControlCommands::OpenSoundFile);
    connect(&volume, &VolumeControl::volumeChanged, this, &ControlCommands::volumeChanged);
}

void ControlCommands::run(Command command) {
    switch (command) {
    case Command::PlayBackSound:
        return m_player.PlayBackSound();
    case Command::Play:
        return m_player.Play();
    case Command::PlayPause:
        return m_player.PlayPause();
    case Command::PlayStop:
        return m_player.PlayStop();
    case Command::PlayNextSound:
        return m_player.PlayNextSound();
    case Command::PlaySoundTop:
        return PlaySoundTop();
    case Command::OpenSoundFile:
        return OpenSoundFile();
    case Command::AddSound_PlayList:
        return emit addFilesRequested();
    case Command::VolumeUp:
        return m_volume.VolumeUp();
    case Command::VolumeDown:
        return m_volume.VolumeDown();
    case Command::SeekForward:
        return m_seek.SeekBy(kSeekStepSec);
    case Command::SeekBackward:
        return m_seek.SeekBy(-kSeekStepSec);
    case Command::View_PlayList:
        return emit playlistWindowToggleRequested();
    case Command::PopupTrayMenu:
        return emit trayMenuRequested();
    }
}

void ControlCommands::useButton(int code, bool leftButton) {
    static constexpr Command kActions[] = {Command::PlayBackSound, Command::Play,
                                           Command::PlayPause,     Command::PlayStop,
                                           Command::PlayNextSound, Command::OpenSoundFile,
                                           Command::PopupTrayMenu, Command::View_PlayList};
    if (code < BackButton || code > PlaylistButton)
        return;
    const Command action = kActions[code];
    // Every button shows its pressed image; only the left button makes it act.
    m_buttons.press(code, [this, action, leftButton] {
        if (leftButton)
            run(action);
    });
}

void ControlCommands::PlaySoundTop() {
    if (m_playlist.count() == 0)
        return;
    m_playlist.selectOnly(1);
    m_player.playRow(1);
}

void ControlCommands::playRow(int n) {
    m_player.playRow(n);
}

void ControlCommands::OpenSoundFile() {
    if (!m_view)
        return;
    const std::optional<QStringList> chosen = m_view->chooseFilesToOpen(m_player.DmyFileName());
    if (!chosen)
        return;
    m_playlist.clear();
    m_buttons.pause(kAfterDialogMs, [this, files = *chosen] {
        m_adder.addDialogSelection(files);
        m_player.playFromFirstRow();
    });
}

void ControlCommands::addChosenFiles(const QStringList& files) {
    m_buttons.pause(kAfterDialogMs, [this, files] { m_adder.addDialogSelection(files); });
}

void ControlCommands::dropFiles(const QStringList& localPaths) {
    const QStringList entries =
        PlaylistAdder::expandForAdding(localPaths, PlaylistAdder::Accept::AudioAndPlaylists);
    // A drop that gives nothing to play leaves the playlist and playback alone.
    if (entries.isEmpty())
        return;
    m_playlist.clear();
    m_adder.addPlayListItems(entries);
    m_player.playFromFirstRow();
}

void ControlCommands::addDroppedFiles(const QStringList& localPaths) {
    m_adder.AddDroppedFiles(localPaths);
}

void ControlCommands::setVolumeStep(int step) {
    m_volume.setStep(step);
}

void ControlCommands::setVolumeLevel(double level) {
    m_volume.SetVolumeLevel(level);
    m_volume.ApplyVolume();
}

void ControlCommands::seekTo(int seconds) {
    m_seek.SeekTo(seconds);
}

void ControlCommands::setRepeat(bool on) {
    m_player.setRepeat(on);
}

void ControlCommands::chooseSkin(const QString& name) {
    m_skins.chooseSkin(name);
}

} // namespace pelto
