#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

class QScreen;

namespace pelto {

// The area of a screen that windows may take (without its panels), in logical pixels
// that lie wholly on the screen.
QRect windowArea(const QScreen& screen);

// The screens a window can be placed on, in twips of logical pixels: the primary
// screen, whose right and bottom edges a saved main window place is pulled back
// behind, and the area windows may take on every screen (without its panels), the
// primary's first. `ratio` is the primary screen's screen pixels per logical pixel.
struct ScreenLayout {
    QRect primary;
    QList<QRect> screens;
    qreal ratio = 1;

    // One screen of the given size in pixels at the origin, at scale 1.
    static ScreenLayout single(QSize pixels);
    // The desktop's screens now (needs the GUI application).
    static ScreenLayout ofDesktop();
};

// Pelto.cfg keeps a window's left and top edges in the screen's own pixels (as twips
// of them in Settings), so that a place saved under one scale of the desktop is the
// same spot of the screen under another. These turn a window's place in logical pixels
// into that unit and back.
QPoint savedPlace(QPoint logicalPixels, const ScreenLayout& screens);

// Where a window goes at start, in twips of logical pixels. `window` is its place and
// size now (logical twips); `left` and `top` are the saved edges (twips of screen
// pixels), where the configuration gave them (the window keeps its own edge
// otherwise).
//
// With `pullBack` (the main window) a saved edge that would put the window's right
// (bottom) edge beyond the primary screen's is moved so that the window ends there;
// a negative place stays. A place from which no part of the window would show in any
// screen's area (a screen since unplugged, a panel's strip) becomes the middle of the
// primary screen's area.
QPoint startPlace(const QRect& window, std::optional<int> left, std::optional<int> top,
                  bool pullBack, const ScreenLayout& screens);

// Where the playlist window first goes when no place was saved for it, in logical
// pixels: beside the main window `beside`, never over it, inside the screen area
// `area`. Below it with the left edges in line where the area has room for the whole
// window; else above it, else to its right, else to its left; where no side has room,
// on the side with the most, the window cut to fit (never below `minimum`).
QRect firstPlaceBeside(const QRect& beside, QSize window, QSize minimum, const QRect& area);

} // namespace pelto
