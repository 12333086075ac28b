#include "mpris/MprisService.h"

#include "mpris/MprisAdaptors.h"
#include "mpris/MprisMetadata.h"
#include "player/ControlCommands.h"
#include "player/Player.h"
#include "player/VolumeControl.h"
#include "playlist/PlaylistModel.h"
#include "settings/Settings.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <unistd.h>

namespace pelto {

namespace {

const QString kObjectPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString kPlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");
constexpr qint64 kMicrosPerSecond = 1000000;

} // namespace

MprisService::MprisService(const Player& player, const PlaylistModel& playlist,
                           const Settings& settings, ControlCommands& commands, QObject* parent)
    : QObject(parent), m_player(player), m_playlist(playlist), m_settings(settings),
      m_commands(commands) {
    new MprisRootAdaptor(this);
    new MprisPlayerAdaptor(this);
    m_announced = changingProperties();
    connect(&player, &Player::songStarted, this, [this] {
        ++m_trackSerial;
        propertiesMayHaveChanged();
    });
    const auto follow = [this, &player](auto signal) {
        connect(&player, signal, this, &MprisService::propertiesMayHaveChanged);
    };
    follow(&Player::playStateChanged);
    connect(&commands, &ControlCommands::volumeChanged, this,
            &MprisService::propertiesMayHaveChanged);
    follow(&Player::repeatChanged);
    follow(&Player::currentRowChanged);
    follow(&Player::rowsChanged);
    connect(&player, &Player::positionJumped, this,
            [this](int seconds) { emit seeked(qint64(seconds) * kMicrosPerSecond); });
}

MprisService::~MprisService() {
    if (!m_busName.isEmpty())
        QDBusConnection::sessionBus().unregisterService(m_busName);
}

bool MprisService::registerOnSessionBus() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        std::fprintf(stderr, "Pelto: no session bus; media keys and sound menus cannot reach "
                             "the player\n");
        return false;
    }
    if (!bus.registerObject(kObjectPath, this, QDBusConnection::ExportAdaptors))
        return false;
    // A second player (another install with its own settings) takes a name of its own.
    const QString name = QStringLiteral("org.mpris.MediaPlayer2.pelto");
    for (const QString& candidate : {name, name + QStringLiteral(".instance%1").arg(::getpid())}) {
        if (bus.registerService(candidate)) {
            m_busName = candidate;
            return true;
        }
    }
    std::fprintf(stderr, "Pelto: the session bus refused the media player's name\n");
    return false;
}

// ---- Reading ----

QString MprisService::playbackStatus() const {
    switch (m_player.PlayState()) {
    case PlayState::Playing:
        return QStringLiteral("Playing");
    case PlayState::Paused:
        return QStringLiteral("Paused");
    default:
        return QStringLiteral("Stopped");
    }
}

QString MprisService::loopStatus() const {
    return m_player.repeatOn() ? QStringLiteral("Playlist") : QStringLiteral("None");
}

double MprisService::volume() const {
    const int step = std::clamp(int(m_settings.WavVolume), 0, kTopVolumeStep);
    return double(step) / kTopVolumeStep;
}

qint64 MprisService::position() const {
    return qint64(m_player.playedMilliseconds()) * 1000;
}

QString MprisService::trackPath() const {
    if (m_player.DmyFileName().isEmpty())
        return noTrackPath();
    return QStringLiteral("/org/pelto/track/%1").arg(m_trackSerial);
}

QVariantMap MprisService::metadata() const {
    return songMetadata(m_player, m_playlist, trackPath());
}

bool MprisService::canGoNext() const {
    const PlaylistModel& list = m_playlist;
    return list.count() > 0 && (list.PlayListTrNum() < list.count() || m_player.repeatOn());
}

bool MprisService::canGoPrevious() const {
    return m_playlist.count() > 0 && m_playlist.PlayListTrNum() > 1;
}

bool MprisService::canPlay() const {
    return m_playlist.count() > 0;
}

bool MprisService::canSeek() const {
    return m_player.PlayState() != PlayState::Stopped && m_player.TotalSec() > 0;
}

QVariantMap MprisService::changingProperties() const {
    return {
        {QStringLiteral("PlaybackStatus"), playbackStatus()},
        {QStringLiteral("LoopStatus"), loopStatus()},
        {QStringLiteral("Volume"), volume()},
        {QStringLiteral("Metadata"), metadata()},
        {QStringLiteral("CanGoNext"), canGoNext()},
        {QStringLiteral("CanGoPrevious"), canGoPrevious()},
        {QStringLiteral("CanPlay"), canPlay()},
        {QStringLiteral("CanPause"), canPlay()},
        {QStringLiteral("CanSeek"), canSeek()},
    };
}

// ---- Acting: the procedures of the keys and menus ----

void MprisService::setLoopStatus(const QString& status) {
    // The repeat switch knows the whole playlist only; "Track" is not offered.
    if (status == u"None" || status == u"Playlist")
        m_commands.setRepeat(status == u"Playlist");
}

void MprisService::setVolume(double level) {
    // As the volume keys do: the step for the level, then the knob placed for it.
    m_commands.setVolumeLevel(std::isnan(level) ? 0.0 : level);
}

void MprisService::Play() {
    // Resumes a paused song; otherwise the play command (the key X) restarts the
    // current row, or asks for files when the playlist is empty.
    if (m_player.PlayState() == PlayState::Paused)
        m_commands.run(Command::PlayPause);
    else if (m_player.PlayState() == PlayState::Stopped)
        m_commands.run(Command::Play);
}

void MprisService::Pause() {
    if (m_player.PlayState() == PlayState::Playing)
        m_commands.run(Command::PlayPause);
}

void MprisService::PlayPause() {
    m_commands.run(m_player.PlayState() == PlayState::Stopped ? Command::Play : Command::PlayPause);
}

void MprisService::Stop() {
    m_commands.run(Command::PlayStop);
}

void MprisService::Next() {
    m_commands.run(Command::PlayNextSound);
}

void MprisService::Previous() {
    m_commands.run(Command::PlayBackSound);
}

void MprisService::Seek(qint64 offsetMicros) {
    const qint64 target = position() + offsetMicros;
    m_commands.seekTo(int(std::llround(double(target) / kMicrosPerSecond)));
}

void MprisService::SetPosition(const QDBusObjectPath& trackId, qint64 positionMicros) {
    // A request for another track, or past the song's end, is ignored.
    if (trackId.path() != trackPath() || positionMicros < 0 ||
        positionMicros > qint64(m_player.TotalSec()) * kMicrosPerSecond)
        return;
    m_commands.seekTo(int(positionMicros / kMicrosPerSecond));
}

void MprisService::OpenUri(const QString& uri) {
    const QUrl url(uri);
    if (url.isLocalFile())
        m_commands.openFile(url.toLocalFile());
}

void MprisService::Raise() {
    m_commands.raiseMainWindow();
}

void MprisService::Quit() {
    // After the reply has gone out: the unload ends the program.
    QTimer::singleShot(0, &m_commands, &ControlCommands::endProgram);
}

// ---- Announcing ----

void MprisService::propertiesMayHaveChanged() {
    // Several signals of one change (a song starts: row, state, song) go out as one.
    if (m_sendPending)
        return;
    m_sendPending = true;
    QTimer::singleShot(0, this, &MprisService::sendPropertiesChanged);
}

void MprisService::sendPropertiesChanged() {
    m_sendPending = false;
    const QVariantMap now = changingProperties();
    QVariantMap changed;
    for (auto it = now.cbegin(); it != now.cend(); ++it)
        if (m_announced.value(it.key()) != it.value())
            changed.insert(it.key(), it.value());
    m_announced = now;
    if (changed.isEmpty() || m_busName.isEmpty())
        return;
    QDBusMessage message =
        QDBusMessage::createSignal(kObjectPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                   QStringLiteral("PropertiesChanged"));
    message << kPlayerInterface << changed << QStringList();
    QDBusConnection::sessionBus().send(message);
}

} // namespace pelto
