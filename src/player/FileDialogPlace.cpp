#include "player/FileDialogPlace.h"

#include <QFileDialog>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QTreeView>

#include <algorithm>

namespace pelto {

namespace {

QSize& lastDialogSize() {
    static QSize size;
    return size;
}

// Room for a long name beside "1023.99 KiB", a type such as "MP3 オーディオ" and a
// date, in the dialog's own font.
QSize firstDialogSize(const QFileDialog& dialog) {
    const QFontMetrics metrics(dialog.font());
    return {std::max(760, metrics.averageCharWidth() * 110), std::max(480, metrics.height() * 28)};
}

QScreen* screenOf(const QWidget* opener) {
    if (opener && opener->screen())
        return opener->screen();
    return QGuiApplication::primaryScreen();
}

} // namespace

void placeFileDialog(QFileDialog& dialog, QWidget* opener) {
    if (auto* details = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
        QHeaderView* header = details->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
        for (int column = 1; column < header->count(); ++column)
            header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }
    QSize size = lastDialogSize().isValid() ? lastDialogSize() : firstDialogSize(dialog);
    QRect area;
    if (QScreen* screen = screenOf(opener)) {
        area = screen->availableGeometry();
        size = size.boundedTo(area.size());
    }
    const QWidget* over = opener ? opener->window() : nullptr;
    QPoint centre = over && over->isVisible() ? over->frameGeometry().center()
                                              : (area.isValid() ? area.center() : QPoint());
    QRect place(QPoint(), size);
    place.moveCenter(centre);
    if (area.isValid()) {
        // Inside the screen, the title bar first when the dialog is taller than it.
        place.moveRight(std::min(place.right(), area.right()));
        place.moveBottom(std::min(place.bottom(), area.bottom()));
        place.moveLeft(std::max(place.left(), area.left()));
        place.moveTop(std::max(place.top(), area.top()));
    }
    // The place is the dialog's own, without the frame the window manager adds, which
    // is not known before it shows (a place with the frame, move(), of a window not yet
    // shown lands the frame's size off on X11).
    dialog.setGeometry(place);
}

void rememberFileDialogSize(const QFileDialog& dialog) {
    lastDialogSize() = dialog.size();
}

} // namespace pelto
