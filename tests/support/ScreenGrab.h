#pragma once

#include <QImage>
#include <QPixmap>
#include <QWidget>

namespace pelto::test {

// What a widget shows on the screen it is on: its rendering in screen pixels (RGB32)
// and the screen's pixels per logical pixel.
struct ScreenGrab {
    QImage image;
    qreal ratio = 1;
};

inline ScreenGrab grabOnScreen(QWidget& widget) {
    const QPixmap grabbed = widget.grab();
    return {grabbed.toImage().convertToFormat(QImage::Format_RGB32), grabbed.devicePixelRatio()};
}

} // namespace pelto::test
