#pragma once

#include <QVariantMap>

namespace pelto {

class Player;
class PlaylistModel;

// The bus path that stands for "no track".
QString noTrackPath();

// The MPRIS metadata of the song the player has open: its track id, length in
// microseconds, file URL, and the title and artist as its playlist row shows them
// (the first row with its path when the current row holds another), with the album
// from the extended tag when there is one, else from the version 1 tag. Just the
// "no track" id when no song has been opened.
QVariantMap songMetadata(const Player& player, const PlaylistModel& playlist,
                         const QString& trackPath);

} // namespace pelto
