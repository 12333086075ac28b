#include "player/Player.h"

#include "common/TimeText.h"
#include "player/LifecycleHooks.h"
#include "player/PlayFailure.h"
#include "player/PlayerView.h"
#include "player/Twips.h"
#include "skin/SkinReader.h"
#include "taginfo/ExtTagInfo.h"
#include "taginfo/InfoLines.h"

namespace pelto {

namespace {
constexpr int kTimerInfoMs = 100;
// One scroll step moves a line by 10 pixels.
constexpr int kScrollStepTwips = 10 * kTwipsPerPixel;
// Timer_Info ticks before the first scroll step (2.1 s), and the count a step
// restarts from, so later steps come every 0.7 s.
constexpr int kScrollFirstWait = 21;
constexpr int kScrollNextWait = 15;
// The KnobOffset that makes the next refresh redraw the knob wherever it belongs.
constexpr int kForceKnobRedraw = -99;
} // namespace

Player::Player(Settings& settings, PlaylistModel& playlist, QObject* parent)
    : QObject(parent), m_settings(settings), m_playlist(playlist),
      m_defaultHooks(std::make_unique<LifecycleHooks>()), m_hooks(m_defaultHooks.get()),
      m_volume(settings, [this] { return decoder(); }), m_look(initialSkinState()) {
    m_timerInfo.setInterval(kTimerInfoMs);
    connect(&m_timerInfo, &QTimer::timeout, this, &Player::TimerInfoTick);
    m_adder.setPlayHandler([this](const QString& path) {
        m_song.DmyFileName = path;
        PlaySound();
    });
    // The volume is set again on every move over the bar; only a new step is news.
    connect(&m_volume, &VolumeControl::volumeSet, this, [this](int step) {
        if (step == m_announcedVolume)
            return;
        m_announcedVolume = step;
        emit volumeChanged(step);
    });
    connect(&m_playlist, &PlaylistModel::playListTrNumChanged, this, &Player::currentRowChanged);
    connect(&m_playlist, &PlaylistModel::rowsChanged, this, &Player::rowsChanged);
}

Player::~Player() = default;

void Player::setHooks(LifecycleHooks* hooks) {
    m_hooks = hooks ? hooks : m_defaultHooks.get();
}

void Player::ApplyVolume() {
    m_volume.setBarGeometry(pixelsToTwips(m_look[SkinElement::ChangeVolume].geometry.height()),
                            pixelsToTwips(m_look[SkinElement::VolumeBarSkin].geometry.height()));
    m_volume.ApplyVolume();
}

bool Player::repeatOn() const {
    return m_settings.RepeatPlay == 1;
}

void Player::setRepeat(bool on) {
    if (repeatOn() == on)
        return;
    m_settings.RepeatPlay = on ? 1 : 0;
    emit repeatChanged(on);
}

void Player::setPlayState(int state) {
    if (state == m_playState)
        return;
    m_playState = state;
    emit playStateChanged(state);
}

void Player::readState() {
    int position = m_playPosSec;
    setPlayState(m_decoder ? m_decoder->state(position) : StateStopped);
    if (m_decoder)
        m_playPosSec = position;
}

void Player::afterSeek() {
    m_knob.KnobOffset = kForceKnobRedraw;
    Timer_Sec();
    emit positionJumped(m_playPosSec);
}

void Player::knobToLeftEnd() {
    if (m_view)
        m_view->placeSeekKnob(0);
}

void Player::setSkinTexts(const std::array<QString, 3>& tagInfo, const QString& tagScroll,
                          const QString& totalTimePrefix) {
    m_skinTagInfo = tagInfo;
    m_skinTagScroll = tagScroll;
    m_totalTimePrefix = totalTimePrefix;
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
    m_decoder->stop();
    m_decoder->close();

    if (!m_decoder->open(m_song.DmyFileName)) {
        reportUnplayable(m_song.DmyFileName);
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
        knobToLeftEnd();
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
    BuildInfoLines();
    knobToLeftEnd();
    m_playPosSec = 0;
    setPlayState(StatePlaying);
    m_knob.KnobOffset = 0;
    m_decoder->play();
    emit songStarted(m_playlist.PlayListTrNum(), m_song.DmyFileName);
    TimerInfoTick();
    m_timerInfo.start(kTimerInfoMs);
}

void Player::PlayStop() {
    m_stopRequested = -1;
    readState();
    if (m_playState == StateStopped)
        return;
    m_decoder->stop();
    m_scrollPos = {0, 0, 0};
    m_scrollWait = 0;
    // One tick redraws the elapsed time, finds the song stopped, returns the knob and
    // stops the timer; StopRequested keeps it from moving on. The file stays open.
    if (!m_song.DmyFileName.isEmpty())
        TimerInfoTick();
    emit positionJumped(m_playPosSec);
}

void Player::PlayPause() {
    readState();
    if (m_playState == StatePlaying) {
        m_decoder->pause();
        m_timerInfo.stop();
    } else if (m_playState == StatePaused) {
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

void Player::Play() {
    if (m_playlist.count() == 0) {
        OpenSoundFile();
        return;
    }
    m_playlist.SetPlayListColor();
    playCurrentRow();
}

// ---- Timer_Info and the displays ----

void Player::TimerInfoTick() {
    if (m_scrollWait >= kScrollFirstWait) {
        m_scrollWait = kScrollNextWait;
        scrollStep();
    } else {
        ++m_scrollWait;
    }
    Timer_Sec();
    endOfSongRule();
}

void Player::scrollStep() {
    if (!m_view)
        return;
    for (int i = 0; i < 3; ++i) {
        const QString& text = m_tagInfoData[size_t(i)];
        const int widthPx = m_view->infoTextWidth(i, text);
        if (m_view->infoBoxWidth(i) >= widthPx)
            continue;
        const int width = pixelsToTwips(widthPx);
        int& pos = m_scrollPos[size_t(i)];
        pos += kScrollStepTwips;
        if (width - pos < 0)
            pos -= width;
        m_view->showInfoLine(i, text, twipsToPixels(pos), true);
    }
}

void Player::Timer_Sec() {
    readState();
    if (!m_view)
        return;
    m_view->showNowTime(timeText(m_playPosSec));
    if (const auto offset = m_knob.refresh(m_view->seekRangeTwips(), m_song.TotalSec, m_playPosSec))
        m_view->placeSeekKnob(*offset);
}

void Player::endOfSongRule() {
    if (m_playState == StateStopped) {
        if (m_decoder)
            m_decoder->stop();
        knobToLeftEnd();
        m_timerInfo.stop();
        if (m_stopRequested == 0)
            PlayNextSound();
    } else if (m_playState == StatePaused) {
        m_timerInfo.stop();
    }
}

void Player::BuildInfoLines() {
    if (m_view)
        m_view->showTotalTime(m_totalTimePrefix + timeText(m_song.TotalSec));
    for (int i = 0; i < 3; ++i)
        m_tagInfoData[size_t(i)] =
            FormatTagInfo(infoLineFormat(i, m_settings, m_skinTagInfo), m_song);
    const QString separator = scrollSeparator(m_settings, m_skinTagScroll);
    for (int i = 0; i < 3; ++i) {
        QString& text = m_tagInfoData[size_t(i)];
        if (m_view)
            text = lineForBox(text, separator, m_view->infoTextWidth(i, text),
                              m_view->infoBoxWidth(i));
        m_scrollPos[size_t(i)] = 0;
        if (m_view)
            m_view->showInfoLine(i, text, 0, false);
    }
    m_scrollWait = 0;
}

} // namespace pelto
