#include "player/VolumeControl.h"

#include "common/Numbers.h"
#include "common/Twips.h"
#include "player/Player.h"
#include "settings/Settings.h"
#include "skin/SkinState.h"

#include <algorithm>
#include <array>

namespace pelto {

namespace {

// Levels of the 32 steps, low 16 bits left, high 16 bits right. Not a straight line:
// step 13 is a little below 0x7777 on both sides and step 16 is louder on the left.
constexpr std::array<std::uint32_t, kTopVolumeStep + 1> kVolumeTable = {
    0x00000000, 0x10001000, 0x17771777, 0x20002000, 0x27772777, 0x30003000, 0x37773777, 0x40004000,
    0x47774777, 0x50005000, 0x57775777, 0x60006000, 0x67776777, 0x77707770, 0x77777777, 0x80008000,
    0x87778800, 0x90009000, 0x97779777, 0xA000A000, 0xA777A777, 0xB000B000, 0xB777B777, 0xC000C000,
    0xC777C777, 0xD000D000, 0xD777D777, 0xE000E000, 0xE777E777, 0xF000F000, 0xF777F777, 0xFFFFFFFF};

int clampStep(int step) {
    return std::clamp(step, 0, kTopVolumeStep);
}

} // namespace

std::uint32_t volumeTableValue(int step) {
    return kVolumeTable[size_t(clampStep(step))];
}

int volumeStepForLevel(double level) {
    if (level <= 0)
        return 0;
    for (int k = 1; k < kTopVolumeStep; ++k) {
        if (level <= double(k) / kTopVolumeStep)
            return k;
    }
    return kTopVolumeStep;
}

VolumeControl::VolumeControl(Settings& settings, Player* output, QObject* parent)
    : QObject(parent), m_settings(settings), m_output(output) {}

void VolumeControl::setBarGeometry(int trackHeight, int knobHeight) {
    m_trackHeight = trackHeight;
    m_knobHeight = knobHeight;
}

void VolumeControl::applySkin(const SkinState& look) {
    setBarGeometry(pixelsToTwips(look[SkinElement::ChangeVolume].geometry.height()),
                   pixelsToTwips(look[SkinElement::VolumeBarSkin].geometry.height()));
    ApplyVolume();
}

int VolumeControl::WavVolume() const {
    return m_settings.WavVolume;
}

void VolumeControl::SetVolumeLevel(double level) {
    const int step = volumeStepForLevel(level);
    m_settings.WavVolume = std::int16_t(step);
    if (m_output)
        m_output->setOutputVolume(volumeTableValue(step));
    emit volumeSet(step);
    if (step != m_announced) {
        m_announced = step;
        emit volumeChanged(step);
    }
}

void VolumeControl::VolumeFromKnob(int twips) {
    SetVolumeLevel(double(twips) / range());
}

void VolumeControl::ApplyVolume() {
    // A step read from the configuration may lie outside 0..31; the knob is placed
    // for the step that will be used, so it never lands outside the track.
    const int step = clampStep(WavVolume());
    placeKnob(double(kTopVolumeStep - step) / kTopVolumeStep * range());
    SetVolumeLevel(double(WavVolume()) / kTopVolumeStep);
}

void VolumeControl::setStep(int step) {
    m_settings.WavVolume = std::int16_t(step);
    ApplyVolume();
}

void VolumeControl::VolumeUp() {
    SetVolumeLevel(double(WavVolume() + 1) / kTopVolumeStep);
    ApplyVolume();
}

void VolumeControl::VolumeDown() {
    SetVolumeLevel(double(WavVolume() - 1) / kTopVolumeStep);
    ApplyVolume();
}

void VolumeControl::mouseOnBar(Qt::MouseButtons buttons, double y) {
    const int v = range();
    if (buttons != Qt::LeftButton || v <= 0) {
        // The knob has not moved, so it still stands for the current step: set that
        // step again. Reading the step back from the knob would round its height to
        // whole twips and could raise the volume by one step just because the
        // pointer passed over the bar; a bar without travel gives no level at all.
        SetVolumeLevel(double(WavVolume()) / kTopVolumeStep);
        return;
    }
    placeKnob(y >= v ? v : y > 0 ? y : 0);
    VolumeFromKnob(int(roundHalfEven(v - m_knobOffset)));
}

void VolumeControl::placeKnob(double offset) {
    m_knobOffset = offset;
    emit knobPlaced(offset);
}

} // namespace pelto
