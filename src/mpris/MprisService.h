#pragma once

#include <QObject>
#include <QStringList>
#include <QVariantMap>

class QDBusObjectPath;

namespace pelto {

class ControlCommands;
class Player;
class PlaylistModel;
struct Settings;

// The player on the desktop's session bus as an MPRIS 2 media player, so media keys,
// sound menus and remote controls reach it. Every method runs the procedure the keys
// and menus run (the play command, PlayPause, PlayStop, PlayNextSound, PlayBackSound,
// the seek of the bar and keys, the volume steps), so the windows, the playlist and
// the saved state stay as they would after a key. Changes are announced from the
// player's signals: PropertiesChanged once per turn of the event loop with the
// properties whose values changed, and Seeked when the position jumps.
class MprisService : public QObject {
    Q_OBJECT
public:
    // Reads the player, the playlist and the settings; acts through the commands.
    MprisService(const Player& player, const PlaylistModel& playlist, const Settings& settings,
                 ControlCommands& commands, QObject* parent = nullptr);
    ~MprisService() override;

    // Puts the service on the session bus under org.mpris.MediaPlayer2.pelto (with an
    // ".instance<pid>" suffix when another player holds that name). Without a session
    // bus it says so in one line on stderr and gives false; the program runs on.
    bool registerOnSessionBus();

    // org.mpris.MediaPlayer2.Player, read side. Position is in microseconds.
    QString playbackStatus() const;
    QString loopStatus() const;
    double volume() const;
    qint64 position() const;
    QVariantMap metadata() const;
    bool canGoNext() const;
    bool canGoPrevious() const;
    bool canPlay() const;
    bool canSeek() const;

    // org.mpris.MediaPlayer2.Player, acting side.
    void setLoopStatus(const QString& status);
    void setVolume(double level);
    void Play();
    void Pause();
    void PlayPause();
    void Stop();
    void Next();
    void Previous();
    void Seek(qint64 offsetMicros);
    void SetPosition(const QDBusObjectPath& trackId, qint64 positionMicros);
    void OpenUri(const QString& uri);
    // org.mpris.MediaPlayer2.
    void Raise();
    void Quit();

    // The values of the player interface's properties that change (all but Position),
    // by their bus names.
    QVariantMap changingProperties() const;

signals:
    // Relayed by the player interface as its Seeked signal.
    void seeked(qint64 positionMicros);

private:
    void propertiesMayHaveChanged();
    void sendPropertiesChanged();
    QString trackPath() const;

    const Player& m_player;
    const PlaylistModel& m_playlist;
    const Settings& m_settings;
    ControlCommands& m_commands;
    QVariantMap m_announced;
    bool m_sendPending = false;
    // Counts the songs started, so each gets a track id of its own.
    quint64 m_trackSerial = 0;
    QString m_busName;
};

} // namespace pelto
