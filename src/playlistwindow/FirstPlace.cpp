#include "playlistwindow/FirstPlace.h"

#include "settings/WindowPlace.h"

#include <QEvent>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace pelto {

FirstPlace::FirstPlace(QWidget& window) : QObject(&window), m_window(window) {
    window.installEventFilter(this);
}

void FirstPlace::setBeside(QWidget* other) {
    m_beside = other;
}

void FirstPlace::cancel() {
    m_pending = false;
}

bool FirstPlace::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &m_window && event->type() == QEvent::Show && m_pending && m_beside &&
        m_beside->isVisible()) {
        // The show event comes before the window is mapped, so it appears in its place.
        m_pending = false;
        place();
        QWindow* other = m_beside->windowHandle();
        if (other && !other->isExposed())
            other->installEventFilter(this);
    } else if (m_beside && watched == m_beside->windowHandle() && event->type() == QEvent::Expose &&
               m_beside->windowHandle()->isExposed()) {
        watched->removeEventFilter(this);
        place();
    }
    return false;
}

void FirstPlace::place() {
    if (!m_beside)
        return;
    const QScreen* screen = m_beside->screen();
    if (!screen)
        return;
    m_window.setGeometry(firstPlaceBeside(m_beside->frameGeometry(), m_window.size(),
                                          m_window.minimumSize(), windowArea(*screen)));
}

} // namespace pelto
