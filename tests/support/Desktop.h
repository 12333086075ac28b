#pragma once

#include "Spawned.h"

#include <QProcessEnvironment>
#include <QRect>
#include <QString>
#include <QStringList>

namespace pelto::test {

// One desktop: a private Xvfb display with openbox managing its windows (or a session
// joined), and the commands run on it (xdotool, xprop, xwininfo). Whatever it started
// ends with it.
class Desktop {
public:
    // Starts the display and the window manager; false when either did not come up.
    bool start(const QString& screen = QStringLiteral("800x600x24"));
    // A session someone else started instead (a compositor's XWayland): its commands and
    // the program run with `session`, the program on the platform that names, if any.
    void join(const QProcessEnvironment& session) { m_env = session; }
    // The trayer panel at the bottom right (an XEmbed tray).
    QProcess* startTray();
    // The real program on the display, playing through SDL's disk driver into
    // `played`, with its home, state file and runtime folder of its own, and without a
    // session bus unless `sessionBus` (then the test's own).
    QProcess* startPelto(const QString& home, const QString& state, const QString& played,
                         bool sessionBus = false);

    // A short command's output, empty when it fails.
    QString run(const QString& program, const QStringList& args);
    QStringList xdotool(const QStringList& args);
    void keys(const QStringList& keys);

    // The visible windows of the given class, or named by a pattern.
    QStringList windowsOfClass(const QString& name);
    QString windowNamed(const QString& pattern);
    // Whether a popup menu of the program shows: its only window the window manager
    // does not handle.
    bool menuShown();
    bool keptAbove(const QString& id);
    // The window's place and size as the X server has it.
    QRect geometryOf(const QString& id);

    const QProcessEnvironment& environment() const { return m_env; }
    // A variable for every process started on the display from now on.
    void setEnvironment(const QString& name, const QString& value) { m_env.insert(name, value); }

private:
    Spawned m_spawned;
    QProcessEnvironment m_env;
};

} // namespace pelto::test
