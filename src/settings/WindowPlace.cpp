#include "settings/WindowPlace.h"

#include "common/Twips.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <cmath>
#include <functional>

namespace pelto {

namespace {

QRect toTwips(const QRect& pixels) {
    return QRect(pixelsToTwips(pixels.x()), pixelsToTwips(pixels.y()),
                 pixelsToTwips(pixels.width()), pixelsToTwips(pixels.height()));
}

// A screen's area in logical pixels, cut to whole screen pixels: at a fractional ratio
// Qt rounds the logical size, which can reach half a logical pixel past the screen.
QRect wholeScreenPixels(QRect logical, qreal ratio) {
    auto fits = [ratio](int extent) {
        const qreal screenPixels = extent * ratio;
        return std::abs(screenPixels - std::round(screenPixels)) < 1e-6 ? extent : extent - 1;
    };
    logical.setSize(QSize(fits(logical.width()), fits(logical.height())));
    return logical;
}

// The saved edge, pulled back so that the window's far edge does not pass the screen's.
int pulledBack(int edge, int extent, int screenEnd) {
    return edge + extent > screenEnd ? screenEnd - extent : edge;
}

// A saved edge in twips of screen pixels as twips of logical pixels.
std::optional<int> logicalEdge(std::optional<int> saved, qreal ratio) {
    if (!saved || ratio == 1)
        return saved;
    return int(std::lround(*saved / ratio));
}

// The start of a span of `extent` inside [start, end), as near `wanted` as it fits.
int fitted(int wanted, int extent, int start, int end) {
    return std::max(start, std::min(wanted, end - extent));
}

} // namespace

ScreenLayout ScreenLayout::single(QSize pixels) {
    const QRect screen = toTwips(QRect(QPoint(0, 0), pixels));
    return {screen, {screen}};
}

ScreenLayout ScreenLayout::ofDesktop() {
    ScreenLayout layout;
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (primary) {
        layout.ratio = primary->devicePixelRatio();
        layout.primary = toTwips(wholeScreenPixels(primary->geometry(), layout.ratio));
        layout.screens.append(toTwips(windowArea(*primary)));
    }
    for (const QScreen* screen : QGuiApplication::screens())
        if (screen != primary)
            layout.screens.append(toTwips(windowArea(*screen)));
    return layout;
}

QRect windowArea(const QScreen& screen) {
    return wholeScreenPixels(screen.availableGeometry(), screen.devicePixelRatio());
}

QPoint savedPlace(QPoint logicalPixels, const ScreenLayout& screens) {
    // Whole screen pixels, where the window system puts the window.
    return QPoint(pixelsToTwips(int(std::lround(logicalPixels.x() * screens.ratio))),
                  pixelsToTwips(int(std::lround(logicalPixels.y() * screens.ratio))));
}

QPoint startPlace(const QRect& window, std::optional<int> left, std::optional<int> top,
                  bool pullBack, const ScreenLayout& screens) {
    left = logicalEdge(left, screens.ratio);
    top = logicalEdge(top, screens.ratio);
    const QRect& primary = screens.primary;
    QPoint place = window.topLeft();
    if (left)
        place.rx() =
            pullBack ? pulledBack(*left, window.width(), primary.x() + primary.width()) : *left;
    if (top)
        place.ry() =
            pullBack ? pulledBack(*top, window.height(), primary.y() + primary.height()) : *top;
    // Even an empty window covers a point.
    const QRect placed(place, window.size().expandedTo(QSize(1, 1)));
    const bool shows = std::any_of(screens.screens.begin(), screens.screens.end(),
                                   [&](const QRect& screen) { return screen.intersects(placed); });
    const QRect area = screens.screens.value(0, primary);
    if (shows || area.isEmpty())
        return place;
    // In the middle, on whole pixels, and never beyond the area's top left corner.
    auto middle = [](int start, int areaExtent, int extent) {
        return start + pixelsToTwips(twipsToPixels(std::max(0, areaExtent - extent) / 2));
    };
    return QPoint(middle(area.x(), area.width(), placed.width()),
                  middle(area.y(), area.height(), placed.height()));
}

QRect firstPlaceBeside(const QRect& beside, QSize window, QSize minimum, const QRect& area) {
    const int areaRight = area.x() + area.width();
    const int areaBottom = area.y() + area.height();
    const int besideRight = beside.x() + beside.width();
    const int besideBottom = beside.y() + beside.height();
    // The sides in the order they are tried: the room each leaves, and the window there
    // with its extent across that side cut to `extent`.
    struct Side {
        int room;
        bool vertical; // below or above: the room is for the window's height
        std::function<QRect(int extent)> place;
    };
    const int x = fitted(beside.x(), window.width(), area.x(), areaRight);
    const int y = fitted(beside.y(), window.height(), area.y(), areaBottom);
    const Side sides[] = {
        {areaBottom - besideBottom, true,
         [&](int h) { return QRect(x, besideBottom, window.width(), h); }},
        {beside.y() - area.y(), true,
         [&](int h) { return QRect(x, beside.y() - h, window.width(), h); }},
        {areaRight - besideRight, false,
         [&](int w) { return QRect(besideRight, y, w, window.height()); }},
        {beside.x() - area.x(), false,
         [&](int w) { return QRect(beside.x() - w, y, w, window.height()); }},
    };
    for (const Side& side : sides)
        if (side.room >= (side.vertical ? window.height() : window.width()))
            return side.place(side.vertical ? window.height() : window.width());
    // No side takes the whole window: the one that keeps the most of it.
    const Side* best = &sides[0];
    double kept = -1;
    for (const Side& side : sides) {
        const int full = side.vertical ? window.height() : window.width();
        const double share = double(side.room) / full;
        if (share > kept) {
            kept = share;
            best = &side;
        }
    }
    const int least = best->vertical ? minimum.height() : minimum.width();
    return best->place(std::max(least, best->room));
}

} // namespace pelto
