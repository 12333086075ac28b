#pragma once

#include <QPoint>

class QMouseEvent;
class QWidget;

namespace pelto {

// Moves a window while the left button drags one of the parts that move it (a
// background, a title strip): the point grabbed stays under the pointer. In a Wayland
// session, where the compositor does not let a client place its own window (natively,
// and with some compositors on X too), the press hands the move to the compositor
// instead. Presses and moves with other buttons do nothing.
class WindowDrag {
public:
    explicit WindowDrag(QWidget& window) : m_window(window) {}

    // The events of a part that moves the window; their positions may be in any of
    // the window's widgets, since only the global position counts.
    void press(const QMouseEvent& event);
    void move(const QMouseEvent& event);
    void release(const QMouseEvent& event);

    // False natively on Wayland: a client there neither places its windows nor learns
    // where they are.
    static bool clientPlacesWindows();
    // True in a Wayland session: the compositor moves the windows, asked by the press.
    static bool compositorMovesWindows();

private:
    QWidget& m_window;
    // Where the left button went down, relative to the window's top-left corner.
    QPoint m_grab;
    bool m_dragging = false;
};

} // namespace pelto
