#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

namespace pelto {

// The first place of a window for which no place was saved (the playlist window):
// beside another window (the main window), never over it, inside the area of that
// window's screen (firstPlaceBeside). It is taken as the window first shows while the
// other window shows, and taken again when the other window is first exposed, for a
// window manager that places a window only as it maps it.
class FirstPlace : public QObject {
    Q_OBJECT
public:
    explicit FirstPlace(QWidget& window);

    void setBeside(QWidget* other);
    // A saved place stands instead.
    void cancel();
    bool pending() const { return m_pending; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void place();

    QWidget& m_window;
    QPointer<QWidget> m_beside;
    bool m_pending = true;
};

} // namespace pelto
