#include "player/RemoteCommands.h"

#include "common/TimeText.h"
#include "player/ControlCommands.h"
#include "player/Player.h"
#include "playlist/PlaylistModel.h"

#include <QStringList>
#include <QTimer>

namespace pelto {

namespace {

QString stateName(PlayState state) {
    switch (state) {
    case PlayState::Playing:
        return QStringLiteral("playing");
    case PlayState::Paused:
        return QStringLiteral("paused");
    case PlayState::Stopped:
        break;
    }
    return QStringLiteral("stopped");
}

// Play, which asks for files (a modal dialog) when the playlist is empty: then only
// after the reply has gone out.
void play(ControlCommands& commands, const PlaylistModel& playlist) {
    if (playlist.count() > 0)
        commands.run(Command::Play);
    else
        QTimer::singleShot(0, &commands, [&commands] { commands.run(Command::Play); });
}

} // namespace

std::optional<QString> runRemoteCommand(const QString& name, ControlCommands& commands,
                                        const Player& player, const PlaylistModel& playlist) {
    const PlayState state = player.PlayState();
    if (name == u"play-pause") {
        if (state == PlayState::Stopped)
            play(commands, playlist);
        else
            commands.run(Command::PlayPause);
    } else if (name == u"play") {
        if (state == PlayState::Paused)
            commands.run(Command::PlayPause);
        else if (state == PlayState::Stopped)
            play(commands, playlist);
    } else if (name == u"pause") {
        if (state == PlayState::Playing)
            commands.run(Command::PlayPause);
    } else if (name == u"stop") {
        commands.run(Command::PlayStop);
    } else if (name == u"next") {
        commands.run(Command::PlayNextSound);
    } else if (name == u"previous") {
        commands.run(Command::PlayBackSound);
    } else if (name == u"status") {
        return statusText(player, playlist);
    } else {
        return std::nullopt;
    }
    return QString();
}

QString statusText(const Player& player, const PlaylistModel& playlist) {
    const int row = playlist.PlayListTrNum();
    const int rows = playlist.count();
    const bool current = row >= 1 && row <= rows;
    // One line even for a title whose tag holds line breaks.
    QString title = current ? playlist.row(row).title : QString();
    title.replace(u'\r', u' ').replace(u'\n', u' ');
    // Joined, not filled in with arg(): a title may hold "%1".
    const QStringList lines{
        QStringLiteral("state: ") + stateName(player.PlayState()),
        QStringLiteral("row: ") + QString::number(current ? row : 0) + u'/' + QString::number(rows),
        QStringLiteral("title: ") + title,
        QStringLiteral("position: ") + timeText(player.PlayPosSec()) + u'/' +
            timeText(player.TotalSec()),
    };
    return lines.join(u'\n') + u'\n';
}

} // namespace pelto
