#include "player/WindowDrag.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

namespace pelto {

bool WindowDrag::platformRefusesSelfMove() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

void WindowDrag::press(const QMouseEvent& event) {
    if (event.button() != Qt::LeftButton)
        return;
    if (platformRefusesSelfMove() && m_window.windowHandle()) {
        m_window.windowHandle()->startSystemMove();
        return;
    }
    m_dragging = true;
    m_grab = event.globalPosition().toPoint() - m_window.pos();
}

void WindowDrag::move(const QMouseEvent& event) {
    if (!m_dragging || event.buttons() != Qt::LeftButton)
        return;
    m_window.move(event.globalPosition().toPoint() - m_grab);
}

void WindowDrag::release(const QMouseEvent& event) {
    if (event.button() == Qt::LeftButton)
        m_dragging = false;
}

} // namespace pelto
