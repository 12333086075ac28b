#include "playlistwindow/StripImage.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMouseEvent>
#include <QPainter>

namespace pelto {

StripImage::StripImage(const QString& name, const QImage& picture, QWidget* parent)
    : QWidget(parent) {
    setObjectName(name);
    m_picture.setPicture(picture);
    if (!picture.isNull())
        resize(picture.size());
}

void StripImage::refuseDrops() {
    setAcceptDrops(true);
}

void StripImage::paintEvent(QPaintEvent*) {
    if (m_picture.isNull())
        return;
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_picture.forRatio(painter.device()->devicePixelRatioF()));
}

void StripImage::mousePressEvent(QMouseEvent* event) {
    m_pressed = event->button() == Qt::LeftButton;
    event->accept();
}

void StripImage::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = m_pressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        m_pressed = false;
    event->accept();
    if (click)
        emit clicked();
}

void StripImage::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double click is not a press of its own.
    event->accept();
}

// A drag turned down here would go on to the window beneath, which takes files; so
// the image takes the drag itself and then turns the drop down.
void StripImage::dragEnterEvent(QDragEnterEvent* event) {
    event->setDropAction(Qt::IgnoreAction);
    event->accept();
}

void StripImage::dragMoveEvent(QDragMoveEvent* event) {
    event->ignore();
}

void StripImage::dropEvent(QDropEvent* event) {
    event->setDropAction(Qt::IgnoreAction);
    event->accept();
}

} // namespace pelto
