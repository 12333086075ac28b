#include "Desktop.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace pelto::test {

bool Desktop::start(const QString& screen) {
    m_env = QProcessEnvironment::systemEnvironment();
    const QString display = m_spawned.startDisplay(m_env, screen);
    if (display.isEmpty())
        return false;
    m_env.insert("DISPLAY", display);
    m_env.insert("QT_QPA_PLATFORM", "xcb");
    m_env.remove("WAYLAND_DISPLAY"); // an X desktop, whatever session the test runs in
    // The work area is among the last things the manager sets up. A manager that
    // ended or stalled before that is replaced, saying why.
    for (int attempt = 0; attempt < 3; ++attempt) {
        QProcess* manager = m_spawned.start("openbox", {}, m_env);
        const bool ready = QTest::qWaitFor(
            [&] {
                return manager->state() == QProcess::NotRunning ||
                       run("xprop", {"-root", "_NET_WORKAREA"}).contains("=");
            },
            30000);
        if (ready && manager->state() != QProcess::NotRunning)
            return true;
        manager->kill();
        manager->waitForFinished(3000);
        qWarning("openbox did not set up %s (exit %d): %s", qPrintable(display),
                 manager->exitCode(), manager->readAllStandardError().constData());
    }
    return false;
}

QProcess* Desktop::startTray() {
    return m_spawned.start("trayer",
                           {"--edge", "bottom", "--align", "right", "--widthtype", "pixel",
                            "--width", "120", "--heighttype", "pixel", "--height", "32"},
                           m_env);
}

QProcess* Desktop::startPelto(const QString& home, const QString& state, const QString& played,
                              bool sessionBus) {
    QProcessEnvironment env = m_env;
    env.insert("SDL_AUDIODRIVER", "disk");
    env.insert("SDL_DISKAUDIOFILE", played);
    env.remove("SDL_DISKAUDIODELAY"); // real time
    env.insert("PELTO_HOME", home);
    env.insert("PELTO_TEST_STATE_FILE", state);
    env.insert("XDG_RUNTIME_DIR", home + "/run");
    // Without the bus the icon goes to an XEmbed panel, not to a tray service on it.
    if (!sessionBus)
        env.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent");
    QDir(home).mkdir("run");
    QFile::setPermissions(home + "/run",
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return m_spawned.start(PELTO_BINARY_DIR "/pelto", {}, env);
}

QString Desktop::run(const QString& program, const QStringList& args) {
    const Spawned::Result r = Spawned::run(program, args, m_env, 10000);
    return r.exitCode == 0 ? r.out : QString();
}

QStringList Desktop::xdotool(const QStringList& args) {
    return run("xdotool", args).split(u'\n', Qt::SkipEmptyParts);
}

void Desktop::keys(const QStringList& keys) {
    xdotool(QStringList{"key", "--delay", "60"} + keys);
}

QStringList Desktop::windowsOfClass(const QString& name) {
    return xdotool({"search", "--onlyvisible", "--classname", name});
}

QString Desktop::windowNamed(const QString& pattern) {
    const QStringList ids = xdotool({"search", "--onlyvisible", "--name", pattern});
    return ids.isEmpty() ? QString() : ids.first();
}

bool Desktop::menuShown() {
    for (const QString& id : windowsOfClass("pelto"))
        if (run("xwininfo", {"-id", id}).contains("Override Redirect State: yes"))
            return true;
    return false;
}

bool Desktop::keptAbove(const QString& id) {
    return !id.isEmpty() &&
           run("xprop", {"-id", id, "_NET_WM_STATE"}).contains("_NET_WM_STATE_ABOVE");
}

QRect Desktop::geometryOf(const QString& id) {
    QRect r;
    for (const QString& line : xdotool({"getwindowgeometry", "--shell", id})) {
        const int value = line.section(u'=', 1).toInt();
        if (line.startsWith("X="))
            r.moveLeft(value);
        else if (line.startsWith("Y="))
            r.moveTop(value);
        else if (line.startsWith("WIDTH="))
            r.setWidth(value);
        else if (line.startsWith("HEIGHT="))
            r.setHeight(value);
    }
    return r;
}

} // namespace pelto::test
