#include "player/ControlCommands.h"

#include "player/Player.h"

namespace pelto {

namespace {

void call(const std::function<void()>& hook) {
    if (hook)
        hook();
}

} // namespace

void PlaySoundTop(Player& player) {
    PlaylistModel& list = player.playlist();
    if (list.count() == 0)
        return;
    list.selectOnly(1);
    player.playRow(1);
}

ControlCommands::ControlCommands(Player& player) : m_player(player) {}

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
        return PlaySoundTop(m_player);
    case Command::OpenSoundFile:
        return m_player.OpenSoundFile();
    case Command::AddSound_PlayList:
        return call(AddSound_PlayList);
    case Command::VolumeUp:
        return m_player.volumeControl().VolumeUp();
    case Command::VolumeDown:
        return m_player.volumeControl().VolumeDown();
    case Command::SeekForward:
        return m_player.seekControl().SeekBy(kSeekStepSec);
    case Command::SeekBackward:
        return m_player.seekControl().SeekBy(-kSeekStepSec);
    case Command::View_PlayList:
        return call(View_PlayList_Menu_Click);
    case Command::PopupTrayMenu:
        return call(popupTrayMenu);
    }
}

void ControlCommands::useButton(int code, bool leftButton) {
    static constexpr Command kActions[] = {Command::PlayBackSound, Command::Play,
                                           Command::PlayPause,     Command::PlayStop,
                                           Command::PlayNextSound, Command::OpenSoundFile,
                                           Command::PopupTrayMenu, Command::View_PlayList};
    if (code < BackButton || code > PlayListButton)
        return;
    const Command action = kActions[code];
    // Every button shows its pressed image; only the left button makes it act.
    m_player.buttons().press(code, [this, action, leftButton] {
        if (leftButton)
            run(action);
    });
}

} // namespace pelto
