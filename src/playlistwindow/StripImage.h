#pragma once

#include "skin/ScaledPicture.h"

#include <QImage>
#include <QWidget>

namespace pelto {

// One image of the playlist window's strip (a button's normal or pressed image, a
// repeat image, or the picture-less click target over the repeat images). It takes
// the mouse where it lies: a left-button press and release over it is a click (a
// double click counts once), and other presses stay with it rather than dragging the
// window. The picture is enlarged evenly for the screen's scale. Drops pass through to the window
// unless the image refuses them.
class StripImage : public QWidget {
    Q_OBJECT
public:
    StripImage(const QString& name, const QImage& picture, QWidget* parent);

    const QImage& picture() const { return m_picture.picture(); }
    // Drops on this image do nothing, instead of adding files as drops on the window do.
    void refuseDrops();

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    ScaledPicture m_picture;
    bool m_pressed = false;
};

} // namespace pelto
