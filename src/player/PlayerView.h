#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace pelto {

struct SkinState;

// What the player logic needs from the main window: the texts of the two time boxes
// and the three information lines, measuring, the seek knob, the open-file dialog and
// showing the window. The main window implements it; the logic never touches widgets.
class PlayerView {
public:
    virtual ~PlayerView() = default;

    // NowTime and TotalTime: the box is cleared and the text printed at its left edge.
    virtual void showNowTime(const QString& text) = 0;
    virtual void showTotalTime(const QString& text) = 0;
    // Information line i (0 to 2): the box is cleared and the text printed starting at
    // x = -offsetPx; with `twice` the text is printed a second time right after the
    // first, so a doubled line wraps seamlessly while it scrolls.
    virtual void showInfoLine(int i, const QString& text, int offsetPx, bool twice) = 0;
    // The width in pixels of a text in line i's font (what the hidden measuring label
    // TagInfoData(i) would be sized to), and the width of the box TagInfo(i).
    virtual int infoTextWidth(int i, const QString& text) const = 0;
    virtual int infoBoxWidth(int i) const = 0;

    // The seek range R in twips: track width minus knob width.
    virtual int seekRangeTwips() const = 0;
    // Places the seek knob at an offset in twips from the track's left edge.
    virtual void placeSeekKnob(int offsetTwips) = 0;

    // The open-file dialog, starting in the folder of the current song: the chosen
    // files as full paths, nothing when cancelled.
    virtual std::optional<QStringList> chooseFilesToOpen(const QString& currentSong) = 0;

    // Places every skinned element as the look says and sizes the window to it.
    virtual void applySkinState(const SkinState& look) = 0;

    // Shows the main window (the last step of the load).
    virtual void showMainWindow() = 0;
};

} // namespace pelto
