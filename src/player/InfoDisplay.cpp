#include "player/InfoDisplay.h"

#include "common/TimeText.h"
#include "common/Twips.h"
#include "player/Player.h"
#include "player/PlayerView.h"
#include "skin/SkinState.h"
#include "taginfo/InfoLines.h"

namespace pelto {

namespace {
// One scroll step moves a line by 10 pixels.
constexpr int kScrollStepTwips = 10 * kTwipsPerPixel;
// Timer_Info ticks before the first scroll step (2.1 s), and the count a step
// restarts from, so later steps come every 0.7 s.
constexpr int kScrollFirstWait = 21;
constexpr int kScrollNextWait = 15;
// The KnobOffset that makes the next refresh redraw the knob wherever it belongs.
constexpr int kForceKnobRedraw = -99;
} // namespace

InfoDisplay::InfoDisplay(Player& player, const Settings& settings, QObject* parent)
    : QObject(parent), m_player(player), m_settings(settings) {
    connect(&player, &Player::songOpened, this, [this] {
        BuildInfoLines();
        knobHome();
        m_knob.KnobOffset = 0;
    });
    connect(&player, &Player::seekKnobHome, this, &InfoDisplay::knobHome);
    connect(&player, &Player::stopping, this, [this] {
        m_scrollPos = {0, 0, 0};
        m_scrollWait = 0;
    });
    connect(&player, &Player::timerInfoTicked, this, &InfoDisplay::scrollPacing);
    connect(&player, &Player::positionRead, this, &InfoDisplay::showPosition);
    connect(&player, &Player::seeked, this, [this] {
        m_knob.KnobOffset = kForceKnobRedraw;
        Timer_Sec();
    });
}

void InfoDisplay::applySkin(const SkinState& look) {
    m_skinTagInfo = look.SkinTagInfo;
    m_skinTagScroll = look.SkinTagScroll;
    m_totalTimePrefix = look.TotalTimePrefix;
    if (m_player.PlayState() != PlayState::Stopped) {
        BuildInfoLines();
        m_scrollWait = 0;
        m_knob.KnobOffset = 0;
        Timer_Sec();
    }
}

void InfoDisplay::resetForLoad() {
    m_knob.SeekDragging = 0;
    m_totalTimePrefix.clear();
    m_skinTagInfo = {};
    m_skinTagScroll.clear();
}

void InfoDisplay::scrollPacing() {
    if (m_scrollWait >= kScrollFirstWait) {
        m_scrollWait = kScrollNextWait;
        scrollStep();
    } else {
        ++m_scrollWait;
    }
}

void InfoDisplay::scrollStep() {
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

void InfoDisplay::Timer_Sec() {
    m_player.readState();
    showPosition();
}

void InfoDisplay::showPosition() {
    if (!m_view)
        return;
    m_view->showNowTime(timeText(m_player.PlayPosSec()));
    if (const auto offset =
            m_knob.refresh(m_view->seekRangeTwips(), m_player.TotalSec(), m_player.PlayPosSec()))
        m_view->placeSeekKnob(*offset);
}

void InfoDisplay::knobHome() {
    if (m_view)
        m_view->placeSeekKnob(0);
}

void InfoDisplay::BuildInfoLines() {
    if (m_view)
        m_view->showTotalTime(m_totalTimePrefix + timeText(m_player.TotalSec()));
    for (int i = 0; i < 3; ++i)
        m_tagInfoData[size_t(i)] =
            FormatTagInfo(infoLineFormat(i, m_settings, m_skinTagInfo), m_player.song());
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

void InfoDisplay::redrawInfoLines() {
    BuildInfoLines(); // also sets ScrollWait to 0
    m_knob.KnobOffset = 0;
    Timer_Sec();
}

int InfoDisplay::seekRangeTwips() const {
    return m_view ? m_view->seekRangeTwips() : 0;
}

void InfoDisplay::holdKnob(int offsetTwips) {
    if (!m_view)
        return;
    m_knob.SeekDragging = -1;
    m_view->placeSeekKnob(offsetTwips);
}

} // namespace pelto
