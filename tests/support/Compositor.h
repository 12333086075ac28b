#pragma once

// A Wayland session for tests: a headless sway with XWayland, started on a private
// runtime folder, with a pointer device of the test's own on its seat (a headless
// compositor has none). Every process it started ends with it.
#include "Spawned.h"

#include <QImage>
#include <QMap>
#include <QProcessEnvironment>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace pelto::test {

// A program's window as the compositor has it.
struct View {
    QString name;
    QString shell; // "xwayland" or "xdg_shell"
    QRect rect;
};

// The compositor: sway on its headless backend, its XWayland, and the pointer.
class Compositor {
public:
    // Empty when the session runs, else why it does not.
    QString start();
    // The environment of a client of the session: its Wayland and X displays.
    const QProcessEnvironment& clients() const { return m_clients; }
    // The program's windows (the process `pid`) the compositor shows, by name.
    QMap<QString, View> viewsOf(qint64 pid) const;
    // A left-button drag from `from` (layout coordinates) by `by`, in steps.
    bool drag(QPoint from, QPoint by);
    // A click of button 1 (left), 2 (middle) or 3 (right).
    bool click(QPoint at, int button = 1);
    // Keys typed on a keyboard of the session's own, e.g. {"Up", "Return"}.
    bool keys(const QStringList& names);
    // What the output shows, through grim; null when it cannot be taken.
    QImage screenshot();
    // The output's size in layout coordinates.
    static constexpr QSize kScreen{1280, 1024};

private:
    QTemporaryDir m_runtime;
    Spawned m_spawned;
    QProcessEnvironment m_clients;
    QProcess* m_pointer = nullptr;
    bool point(const QString& command);
};

} // namespace pelto::test
