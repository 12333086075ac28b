#include "player/ControlCommands.h"

#include "player/ButtonPress.h"
#include "player/Player.h"
#include "player/SeekControl.h"
#include "player/VolumeControl.h"

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
    for (int n = 1; n <= list.count(); ++n)
        list.setSelected(n, n == 1);
    list.CancelPlayListColor();
    list.setPlayListTrNum(1);
    list.SetPlayListColor();
    player.setDmyFileName(list.path(1));
    player.PlaySound();
}

ControlCommands::ControlCommands(Player& player, VolumeControl& volume, SeekControl& seek,
                                 ButtonPress& buttons)
    : m_player(player), m_volume(volume), m_seek(seek), m_buttons(buttons) {}

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
        return m_volume.VolumeUp();
    case Command::VolumeDown:
        return m_volume.VolumeDown();
    case Command::SeekForward:
        return m_seek.SeekBy(kSeekStepSec);
    case Command::SeekBackward:
        return m_seek.SeekBy(-kSeekStepSec);
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
    m_buttons.press(code, [this, action, leftButton] {
        if (leftButton)
            run(action);
    });
}

} // namespace pelto
