#pragma once

#include <QString>

#include <array>

namespace pelto {

// What the settings dialog needs from the player above it: the skin's format strings
// (shown while the skin's are used), whether a song is open, and the redraw of the
// information lines after their formats changed.
class SettingFormHost {
public:
    virtual ~SettingFormHost() = default;

    virtual std::array<QString, 3> SkinTagInfo() const = 0;
    virtual QString SkinTagScroll() const = 0;
    // 0 stopped, 1 playing, 2 paused.
    virtual int PlayState() const = 0;
    // Rebuilds the total time and the three information lines with the formats now
    // in the settings, each line at its left edge, and redraws the elapsed time and
    // the seek knob from the current position.
    virtual void redrawInfoLines() = 0;
};

} // namespace pelto
