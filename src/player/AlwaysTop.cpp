#include "player/AlwaysTop.h"

#include <QWidget>

namespace pelto {

void SetAlwaysTop(QWidget* window, bool on) {
    if (!window)
        return;
    // Changing a flag of a shown window hides it; it is shown again below in any case.
    window->setWindowFlag(Qt::WindowStaysOnTopHint, on);
    window->show();
    window->raise();
}

} // namespace pelto
