#include "player/WindowDrag.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

namespace pelto {

bool WindowDrag::clientPlacesWindows() {
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

bool WindowDrag::compositorMovesWindows() {
    // On X inside a Wayland session the compositor is the X window manager too, and
    // some (sway) refuse the moves an X client asks for.
    return !clientPlacesWindows() || (QGuiApplication::platformName() == QLatin1String("xcb") &&
                                      qEnvironmentVariableIsSet("WAYLAND_DISPLAY"));
}

void WindowDrag::press(const QMouseEvent& event) {
    if (event.button() != Qt::LeftButton)
        return;
    // Where the window manager offers no such move, the window moves itself.
    if (compositorMovesWindows() && m_window.windowHandle() &&
        m_window.windowHandle()->startSystemMove())
        return;
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
