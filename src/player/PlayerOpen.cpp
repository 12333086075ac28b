#include "player/Player.h"

#include "player/PlayerView.h"
#include "playlist/PlaylistAdder.h"

namespace pelto {

void Player::OpenSoundFile() {
    if (!m_view)
        return;
    const std::optional<QStringList> chosen = m_view->chooseFilesToOpen();
    if (!chosen)
        return;
    m_playlist.clear();
    auto fill = [this, files = *chosen] {
        m_adder.addDialogSelection(files);
        playFromFirstRow();
    };
    m_buttons.pause(kAfterDialogMs, std::move(fill));
}

void Player::dropFiles(const QStringList& localPaths) {
    const QStringList entries =
        PlaylistAdder::expandForAdding(localPaths, PlaylistAdder::Accept::AudioAndPlaylists);
    // A drop that gives nothing to play leaves the playlist and playback alone.
    if (entries.isEmpty())
        return;
    m_playlist.clear();
    m_adder.addPlayListItems(entries);
    playFromFirstRow();
}

void Player::playFromFirstRow() {
    m_playlist.setPlayListTrNum(1);
    if (m_playlist.count() == 0)
        return;
    m_playlist.SetPlayListColor();
    playCurrentRow();
}

} // namespace pelto
