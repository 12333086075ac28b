#pragma once

#include <QObject>

#include <cstdint>

namespace pelto {

class Player;
struct Settings;
struct SkinState;

// Number of the highest volume step; the steps run from 0 (silent) to 31 (full).
constexpr int kTopVolumeStep = 31;

// The output level of a volume step (clamped into 0..31): the low 16 bits are the
// left channel's level and the high 16 bits the right channel's.
std::uint32_t volumeTableValue(int step);

// The step for a level given as a fraction of full: 0 at or below 0, otherwise the
// smallest k in 1..30 with level <= k / 31, else 31.
int volumeStepForLevel(double level);

// The volume step and the vertical volume bar. The step lives in Settings::WavVolume
// (it is saved with the configuration); every change goes to the decoder's output as
// per-channel levels, through the player to its decoder. The bar is the hit area ChangeVolume with
// the knob VolumeBarSkin inside it: the knob's offset from the track's top, in twips, runs from 0
// (loudest) to V = track height - knob height (silent). The window moves the knob widget when
// knobPlaced is emitted.
class VolumeControl : public QObject {
    Q_OBJECT
public:
    // The output is the player's (none: the step is only kept).
    VolumeControl(Settings& settings, Player* output, QObject* parent = nullptr);

    // The track's height and the knob's height, in twips.
    void setBarGeometry(int trackHeight, int knobHeight);
    // A skin was applied: the bar as the skin sizes it, the knob placed for the step
    // and the output set (ApplyVolume).
    void applySkin(const SkinState& look);
    // V: how far the knob can travel, in twips.
    int range() const { return m_trackHeight - m_knobHeight; }
    // Where the knob was last placed, in twips below the track's top.
    double knobOffset() const { return m_knobOffset; }

    int WavVolume() const;

    // Picks the step for a fraction of full volume, keeps it and sets the output.
    void SetVolumeLevel(double level);
    // Sets the volume from a knob height in twips counted up from the bottom of the
    // travel (V minus the knob's offset).
    void VolumeFromKnob(int twips);
    // Places the knob for the current step and sets the output for it; a step
    // written straight into the settings (configuration, tray menu) takes effect here.
    void ApplyVolume();
    // Keeps a step and applies it (the tray menu's volume items).
    void setStep(int step);
    // The arrow keys: one step up or down, pinned at 31 and 0.
    void VolumeUp();
    void VolumeDown();

    // A press on the track, or any pointer move over it, with the pointer y in twips
    // from the track's top. With exactly the left button held the knob follows the
    // pointer and the volume follows the knob; in every case the output is set again.
    void mouseOnBar(Qt::MouseButtons buttons, double y);

signals:
    // The knob's top edge moved to this offset below the track's top, in twips.
    void knobPlaced(double offset);
    // The step that was last sent to the output.
    void volumeSet(int step);
    // The step changed (moves over the bar set the same step again and stay quiet).
    void volumeChanged(int step);

private:
    void placeKnob(double offset);

    Settings& m_settings;
    Player* m_output;
    int m_announced = -1;
    int m_trackHeight = 0;
    int m_knobHeight = 0;
    double m_knobOffset = 0;
};

} // namespace pelto
