#include "playlistwindow/StripLayout.h"

#include <algorithm>

namespace pelto {

namespace {

struct Place {
    int x; // from the client area's left edge; -13 for the close button (from its right)
    int width;
    int height;
};

constexpr std::array<Place, kStripControlCount> kPlaces = {{
    {0, 33, 11},   // TitleBar
    {56, 24, 12},  // AddItemBtm
    {88, 24, 12},  // DelItemBtm
    {120, 12, 12}, // UpItemBtm
    {136, 12, 12}, // DownItemBtm
    {168, 24, 12}, // RndItemBtm
    {200, 24, 12}, // SaveListBtm
    {240, 40, 12}, // the repeat switch
    {-13, 12, 12}, // CloseBtm
}};

// How far from a corner, along the border, a press still drags both edges.
constexpr int kCornerReach = 12;

} // namespace

QRect stripControlRect(StripControl control, QSize outer) {
    const QRect client = clientRectOf(outer);
    const Place& p = kPlaces[size_t(control)];
    const int x = p.x >= 0 ? client.left() + p.x : client.left() + client.width() + p.x;
    return QRect(x, client.top(), p.width, p.height);
}

QRect listRect(QSize outer) {
    const QRect client = clientRectOf(outer);
    return client.adjusted(0, kStripHeight, 0, 0);
}

Qt::Edges resizeEdgesAt(QSize outer, QPoint pos) {
    const QRect window(QPoint(0, 0), outer);
    if (!window.contains(pos) || clientRectOf(outer).contains(pos))
        return {};
    Qt::Edges edges;
    if (pos.x() < kCornerReach)
        edges |= Qt::LeftEdge;
    else if (pos.x() >= outer.width() - kCornerReach)
        edges |= Qt::RightEdge;
    if (pos.y() < kCornerReach)
        edges |= Qt::TopEdge;
    else if (pos.y() >= outer.height() - kCornerReach)
        edges |= Qt::BottomEdge;
    return edges;
}

QRect resizedGeometry(const QRect& start, Qt::Edges edges, QPoint delta, QSize minimum) {
    int left = start.left(), top = start.top();
    int right = start.left() + start.width(), bottom = start.top() + start.height();
    if (edges & Qt::LeftEdge)
        left = std::min(left + delta.x(), right - minimum.width());
    if (edges & Qt::RightEdge)
        right = std::max(right + delta.x(), left + minimum.width());
    if (edges & Qt::TopEdge)
        top = std::min(top + delta.y(), bottom - minimum.height());
    if (edges & Qt::BottomEdge)
        bottom = std::max(bottom + delta.y(), top + minimum.height());
    return QRect(left, top, right - left, bottom - top);
}

} // namespace pelto
