#pragma once

#include "player/SeekKnob.h"

#include <QObject>
#include <QString>

#include <array>
#include <cstdint>

namespace pelto {

class Player;
class PlayerView;
struct Settings;
struct SkinState;

// What the main window shows of the song: the elapsed and total time, the three
// information lines with their scrolling, and the seek knob following the position.
// It follows the player's signals (a song opened, a tick of Timer_Info, a seek, a
// stop) and draws through a PlayerView; the skin's texts for the lines come with
// every skin applied.
class InfoDisplay : public QObject {
    Q_OBJECT
public:
    InfoDisplay(Player& player, const Settings& settings, QObject* parent = nullptr);

    // The window drawn into; none draws nothing. It must outlive its use here.
    void setView(PlayerView* view) { m_view = view; }

    // The skin's texts for the information lines and the total time.
    const std::array<QString, 3>& SkinTagInfo() const { return m_skinTagInfo; }
    const QString& SkinTagScroll() const { return m_skinTagScroll; }
    const QString& TotalTimePrefix() const { return m_totalTimePrefix; }
    // A skin was applied: its texts, and while a song is open the lines and times
    // redrawn with them.
    void applySkin(const SkinState& look);
    // The state a start begins from: no skin texts, the knob not held.
    void resetForLoad();

    // Timer_Info ticks counted towards the next scroll step of the information lines.
    int ScrollWait() const { return m_scrollWait; }
    // The text information line i shows (doubled with the separator when it scrolls).
    const QString& TagInfoData(int i) const { return m_tagInfoData[size_t(i)]; }
    // The offset at which the seek knob was last drawn, in twips.
    int KnobOffset() const { return m_knob.KnobOffset; }

    // Prints the total time and rebuilds the three information lines for the current
    // song, each at its left edge.
    void BuildInfoLines();
    // Reads state and position, prints the elapsed time and refreshes the seek knob.
    void Timer_Sec();
    // The information lines' formats changed: lines, elapsed time and knob redrawn.
    void redrawInfoLines();

    // The seek knob held by the pointer: drawn where the pointer puts it (twips from
    // the track's left edge), left alone by the position refresh until released.
    int seekRangeTwips() const;
    bool knobHeld() const { return m_knob.SeekDragging != 0; }
    void holdKnob(int offsetTwips);
    void releaseKnob() { m_knob.SeekDragging = 0; }

private:
    void scrollPacing();
    void scrollStep();
    void showPosition();
    void knobHome();

    Player& m_player;
    const Settings& m_settings;
    PlayerView* m_view = nullptr;
    SeekKnob m_knob;

    std::array<QString, 3> m_skinTagInfo;
    QString m_skinTagScroll;
    QString m_totalTimePrefix;
    std::array<QString, 3> m_tagInfoData;
    std::array<int, 3> m_scrollPos{0, 0, 0};
    std::int16_t m_scrollWait = 0;
};

} // namespace pelto
