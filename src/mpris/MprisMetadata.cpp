#include "mpris/MprisMetadata.h"

#include "common/TrimSpaces.h"
#include "player/Player.h"

#include <QDBusObjectPath>
#include <QUrl>

namespace pelto {

namespace {

// The row the open song came from: the current row when it holds the song's path,
// else the first row that does; 0 when none does (the row was deleted).
int songRow(const Player& player, const PlaylistModel& list) {
    const int current = list.PlayListTrNum();
    if (current >= 1 && current <= list.count() && list.path(current) == player.DmyFileName())
        return current;
    return list.findFirstRowWithPath(player.DmyFileName());
}

QString album(const CurrentSong& song) {
    const QString ext = song.ExtTagValid ? trimSpaces(song.ext.Album) : QString();
    return ext.isEmpty() ? trimSpaces(song.id3.Album) : ext;
}

} // namespace

QString noTrackPath() {
    return QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack");
}

QVariantMap songMetadata(const Player& player, const PlaylistModel& playlist,
                         const QString& trackPath) {
    QVariantMap map{
        {QStringLiteral("mpris:trackid"), QVariant::fromValue(QDBusObjectPath(trackPath))}};
    const QString path = player.DmyFileName();
    if (path.isEmpty())
        return map;
    const int row = songRow(player, playlist);
    const QString title = row > 0 ? playlist.row(row).title : PathSyntax::native().title(path);
    const QString artist = row > 0 ? playlist.row(row).artist : QString();
    map.insert(QStringLiteral("mpris:length"), qlonglong(player.TotalSec()) * 1000000);
    map.insert(QStringLiteral("xesam:url"), QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded));
    map.insert(QStringLiteral("xesam:title"), title);
    if (!artist.isEmpty())
        map.insert(QStringLiteral("xesam:artist"), QStringList{artist});
    if (const QString name = album(player.song()); !name.isEmpty())
        map.insert(QStringLiteral("xesam:album"), name);
    return map;
}

} // namespace pelto
