#include "settings/WindowPlace.h"

#include "common/Twips.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

namespace pelto {

namespace {

QRect toTwips(const QRect& pixels) {
    return QRect(pixelsToTwips(pixels.x()), pixelsToTwips(pixels.y()),
                 pixelsToTwips(pixels.width()), pixelsToTwips(pixels.height()));
}

// The saved edge, pulled back so that the window's far edge does not pass the screen's.
int pulledBack(int edge, int extent, int screenEnd) {
    return edge + extent > screenEnd ? screenEnd - extent : edge;
}

} // namespace

ScreenLayout ScreenLayout::single(QSize pixels) {
    const QRect screen = toTwips(QRect(QPoint(0, 0), pixels));
    return {screen, {screen}};
}

ScreenLayout ScreenLayout::ofDesktop() {
    ScreenLayout layout;
    if (const QScreen* primary = QGuiApplication::primaryScreen())
        layout.primary = toTwips(primary->geometry());
    for (const QScreen* screen : QGuiApplication::screens())
        layout.screens.append(toTwips(screen->geometry()));
    return layout;
}

QPoint startPlace(const QRect& window, std::optional<int> left, std::optional<int> top,
                  bool pullBack, const ScreenLayout& screens) {
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
    if (shows || primary.isEmpty())
        return place;
    // In the middle, on whole pixels, and never beyond the screen's top left corner.
    auto middle = [](int start, int screenExtent, int extent) {
        return start + pixelsToTwips(twipsToPixels(std::max(0, screenExtent - extent) / 2));
    };
    return QPoint(middle(primary.x(), primary.width(), placed.width()),
                  middle(primary.y(), primary.height(), placed.height()));
}

} // namespace pelto
