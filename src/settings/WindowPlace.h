#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

namespace pelto {

// The screens a window can be placed on, in twips: the primary screen, whose right and
// bottom edges a saved main window place is pulled back behind, and every screen.
struct ScreenLayout {
    QRect primary;
    QList<QRect> screens;

    // One screen of the given size in pixels at the origin.
    static ScreenLayout single(QSize pixels);
    // The desktop's screens now (needs the GUI application).
    static ScreenLayout ofDesktop();
};

// Where a window goes at start, in twips. `window` is its place and size now; `left`
// and `top` are the saved edges, where the configuration gave them (the window keeps
// its own edge otherwise).
//
// With `pullBack` (the main window) a saved edge that would put the window's right
// (bottom) edge beyond the primary screen's is moved so that the window ends there;
// a negative place stays. A place from which no part of the window would show on any
// screen (a screen since unplugged) becomes the middle of the primary screen.
QPoint startPlace(const QRect& window, std::optional<int> left, std::optional<int> top,
                  bool pullBack, const ScreenLayout& screens);

} // namespace pelto
