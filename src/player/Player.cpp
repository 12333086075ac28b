#include "player/Player.h"

#include "player/PlayFailure.h"
#include "taginfo/ExtTagInfo.h"

#include <utility>

namespace pelto {

namespace {
constexpr int kTimerInfoMs = 100;
} // namespace

Player::Player(Settings& settings, PlaylistModel& playlist, QObject* parent)
    : QObject(parent), m_settings(settings), m_playlist(playlist) {
    m_timerInfo.setInterval(kTimerInfoMs);
    connect(&m_timerInfo, &QTimer::timeout, this, &Player::TimerInfoTick);
    connect(&m_playlist, &PlaylistModel::playListTrNumChanged, this, &Player::currentRowChanged);
    connect(&m_playlist, &PlaylistModel::rowsChanged, this, &Player::rowsChanged);
    connect(&m_playlist, &PlaylistModel::playListTrNumChanged, this, &Player::tellNextSong);
    connect(&m_playlist, &PlaylistModel::rowsChanged, this, &Player::tellNextSong);
    connect(this, &Player::repeatChanged, this, &Player::tellNextSong);
}

Player::~Player() = default;

bool Player::repeatOn() const {
    return m_settings.RepeatPlay == 1;
}

void Player::setRepeat(bool on) {
    if (repeatOn() == on)
        return;
    m_settings.RepeatPlay = on ? 1 : 0;
    emit repeatChanged(on);
}

void Player::setDecoder(std::unique_ptr<Decoder> decoder) {
    m_decoder = std::move(decoder);
}

void Player::resetForLoad() {
    m_stopRequested = 0;
    m_firstFailedRow = -1;
}

std::int64_t Player::playedMilliseconds() const {
    if (m_playState != State::Stopped && m_decoder)
        return m_decoder->playedMilliseconds();
    return std::int64_t(m_playPosSec) * 1000;
}

void Player::seek(int seconds) {
    if (m_playState == State::Stopped)
        return;
    m_playPosSec = seconds < 0 ? 0 : seconds;
    if (m_decoder)
        m_decoder->seek(m_playPosSec);
    emit seeked();
    emit positionJumped(m_playPosSec);
}

void Player::setOutputVolume(std::uint32_t leftRight) {
    if (m_decoder)
        m_decoder->setVolume(leftRight);
}

void Player::setPlayState(State state) {
    if (state == m_playState)
        return;
    m_playState = state;
    emit playStateChanged(state);
}

void Player::readState() {
    int position = m_playPosSec;
    setPlayState(m_decoder ? m_decoder->state(position) : State::Stopped);
    if (m_decoder)
        m_playPosSec = position;
}

void Player::shutdownDecoder() {
    m_timerInfo.stop();
    if (!m_decoder)
        return;
    m_decoder->stop();
    m_decoder->close();
    m_decoder.reset();
}

// ---- Playing ----

void Player::PlaySound() {
    if (m_inFailedOpen) {
        m_playPending = true;
        return;
    }
    do {
        m_playPending = false;
        playOnce();
    } while (m_playPending);
}

void Player::playOnce() {
    m_stopRequested = 0;
    m_timerInfo.stop();
    if (!m_decoder)
        return;
    const bool joined =
        std::exchange(m_joining, false) && m_decoder->takeJoined(m_song.DmyFileName);
    if (!joined) {
        m_decoder->stop();
        m_decoder->close();
    }
    m_toldNext.reset();

    if (!joined && !m_decoder->open(m_song.DmyFileName)) {
        reportUnplayable(m_song.DmyFileName, m_decoder->openFailure());
        m_decoder->stop();
        const int row = m_playlist.PlayListTrNum();
        if (m_firstFailedRow == row) {
            // Every row from the first failure on has failed: stop, showing what
            // was shown before.
            m_firstFailedRow = -1;
            return;
        }
        if (m_firstFailedRow == -1)
            m_firstFailedRow = row;
        emit seekKnobHome();
        m_timerInfo.stop();
        m_inFailedOpen = true;
        PlayNextSound();
        m_inFailedOpen = false;
        return;
    }

    m_firstFailedRow = -1;
    if (m_settings.AutoScrollPlayList == 1)
        m_playlist.requestScrollTo(m_playlist.findFirstRowWithPath(m_song.DmyFileName));
    const FileInfo info = m_decoder->fileInfo(m_song.DmyFileName);
    m_song.id3 = info.tag;
    m_song.TotalSec = info.TotalSec;
    m_song.ExtTagValid = ReadExtTag(m_song.ext, m_song.DmyFileName);
    emit songOpened();
    m_playPosSec = 0;
    setPlayState(State::Playing);
    if (!joined)
        m_decoder->play();
    tellNextSong();
    emit songStarted(m_playlist.PlayListTrNum(), m_song.DmyFileName);
    TimerInfoTick();
    m_timerInfo.start(kTimerInfoMs);
}

void Player::PlayStop() {
    m_stopRequested = -1;
    readState();
    if (m_playState == State::Stopped)
        return;
    m_decoder->stop();
    emit stopping();
    // One tick redraws the elapsed time, finds the song stopped, returns the knob and
    // stops the timer; StopRequested keeps it from moving on. The file stays open.
    if (!m_song.DmyFileName.isEmpty())
        TimerInfoTick();
    emit positionJumped(m_playPosSec);
}

void Player::PlayPause() {
    readState();
    if (m_playState == State::Playing) {
        m_decoder->pause();
        m_timerInfo.stop();
    } else if (m_playState == State::Paused) {
        m_decoder->restart();
        m_timerInfo.start(kTimerInfoMs);
    } else {
        return;
    }
    // PlayState follows the decoder at once, so what is announced is what is heard.
    readState();
}

void Player::playCurrentRow() {
    m_song.DmyFileName = m_playlist.path(m_playlist.PlayListTrNum());
    PlaySound();
}

void Player::PlayNextSound() {
    const int n = m_playlist.count();
    if (n == 0)
        return;
    if (m_playlist.PlayListTrNum() == n && repeatOn()) {
        m_playlist.CancelPlayListColor();
        m_playlist.setPlayListTrNum(0);
    }
    if (m_playlist.PlayListTrNum() < n)
        playRow(m_playlist.PlayListTrNum() + 1);
}

void Player::PlayBackSound() {
    if (m_playlist.count() == 0 || m_playlist.PlayListTrNum() <= 1)
        return;
    playRow(m_playlist.PlayListTrNum() - 1);
}

void Player::playRow(int n) {
    m_playlist.CancelPlayListColor();
    m_playlist.setPlayListTrNum(n);
    m_playlist.SetPlayListColor();
    playCurrentRow();
}

void Player::playPath(const QString& path) {
    m_song.DmyFileName = path;
    PlaySound();
}

void Player::playFromFirstRow() {
    m_playlist.setPlayListTrNum(1);
    if (m_playlist.count() == 0)
        return;
    m_playlist.SetPlayListColor();
    playCurrentRow();
}

void Player::Play() {
    if (m_playlist.count() == 0) {
        emit openFilesRequested();
        return;
    }
    m_playlist.SetPlayListColor();
    playCurrentRow();
}

// ---- Timer_Info ----

void Player::TimerInfoTick() {
    emit timerInfoTicked();
    readState();
    emit positionRead();
    endOfSongRule();
}

QString Player::nextSongPath() const {
    const int n = m_playlist.count();
    const int row = m_playlist.PlayListTrNum();
    if (row < n)
        return m_playlist.path(row + 1);
    if (row == n && n > 0 && repeatOn())
        return m_playlist.path(1);
    return {};
}

void Player::tellNextSong() {
    if (!m_decoder || m_song.DmyFileName.isEmpty())
        return;
    const QString next = nextSongPath();
    if (m_toldNext == next)
        return;
    m_toldNext = next;
    m_decoder->setNextSong(next);
}

void Player::goOnAfterJoin() {
    // Announced as any song's end and the next one's start: the state passes through
    // Stopped within this call, so a service that sends its changes once per turn of
    // the event loop shows none.
    setPlayState(State::Stopped);
    emit seekKnobHome();
    m_joining = true;
    PlayNextSound();
    m_joining = false;
    // The rows changed as the audio crossed, so that nothing follows after all: the
    // song heard is not the player's, and it stops.
    if (!m_decoder->joinedSong().isEmpty()) {
        m_decoder->stop();
        readState();
        m_timerInfo.stop();
    }
}

void Player::endOfSongRule() {
    if (m_playState != State::Paused && m_decoder && !m_decoder->joinedSong().isEmpty()) {
        goOnAfterJoin();
    } else if (m_playState == State::Stopped) {
        if (m_decoder)
            m_decoder->stop();
        emit seekKnobHome();
        m_timerInfo.stop();
        if (m_stopRequested == 0)
            PlayNextSound();
    } else if (m_playState == State::Paused) {
        m_timerInfo.stop();
    }
}

} // namespace pelto
