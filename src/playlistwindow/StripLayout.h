#pragma once

#include <QRect>
#include <QSize>

#include <array>

namespace pelto {

// The playlist window's geometry. The window draws its own sizing border around the
// client area; inside it, the strip 12 pixels high at the top holds the title and the
// image buttons, and the list fills the rest. Everything here is in pixels.

// The width of the border around the client area, which resizes the window.
constexpr int kFrameWidth = 4;
// The strip along the top of the client area.
constexpr int kStripHeight = 12;
// The client area the window is designed for, and the smallest one it can be given:
// enough for the title and the close button over a sliver of the list.
constexpr QSize kDesignClientSize{313, 197};
constexpr QSize kMinimumClientSize{48, kStripHeight + 12};

// The outer size of a window whose client area has the given size, and the reverse.
constexpr QSize outerSizeFor(QSize client) {
    return client + QSize(2 * kFrameWidth, 2 * kFrameWidth);
}
constexpr QRect clientRectOf(QSize outer) {
    return QRect(kFrameWidth, kFrameWidth, outer.width() - 2 * kFrameWidth,
                 outer.height() - 2 * kFrameWidth);
}

// The controls of the strip, in the order they lie from left to right.
enum class StripControl {
    TitleBar,
    AddItem,
    DelItem,
    UpItem,
    DownItem,
    RndItem,
    SaveList,
    Repeat,
    Close
};
constexpr int kStripControlCount = int(StripControl::Close) + 1;

// Where a control of the strip lies in a window of the given outer size (window
// coordinates). The close button keeps 13 pixels from the client area's right edge;
// the others keep their places from its left edge.
QRect stripControlRect(StripControl control, QSize outer);
// Where the list lies: the client area below the strip.
QRect listRect(QSize outer);

// The edges a press at `pos` (window coordinates) drags to resize the window: none
// inside the client area; on the border one edge, or two near a corner.
Qt::Edges resizeEdgesAt(QSize outer, QPoint pos);

// The geometry a window had at the start of a resize from `edges`, after the pointer
// has moved by `delta`: the dragged edges follow the pointer, the others stay, and the
// size stays at least `minimum`.
QRect resizedGeometry(const QRect& start, Qt::Edges edges, QPoint delta, QSize minimum);

} // namespace pelto
