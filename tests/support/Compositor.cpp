#include "Compositor.h"

#include "TestFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLibraryInfo>
#include <QStandardPaths>
#include <QTest>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pelto::test {

QString Compositor::start() {
    for (const char* tool : {"sway", "swaymsg", "Xwayland", "xhost", "wtype", "xdotool"})
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
            return QStringLiteral("%1 is not installed").arg(QLatin1String(tool));
    if (!QFile::exists(QLibraryInfo::path(QLibraryInfo::PluginsPath) +
                       "/platforms/libqwayland-generic.so"))
        return QStringLiteral("Qt's Wayland platform plugin is not installed");
    if (!QFile::exists(PELTO_BINARY_DIR "/virtual_pointer"))
        return QStringLiteral("the virtual pointer helper was not built (no libwayland-dev)");
    if (!m_runtime.isValid())
        return QStringLiteral("no runtime folder");
    const QString runtime = m_runtime.path();
    QFile::setPermissions(runtime,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    // sway refuses to run as root; there it runs as nobody, in a runtime folder of its
    // own, and lets root's clients onto its X display.
    QString program = QStringLiteral("sway");
    QStringList arguments;
    if (geteuid() == 0) {
        const passwd* nobody = getpwnam("nobody");
        if (!nobody || QStandardPaths::findExecutable("setpriv").isEmpty())
            return QStringLiteral("sway does not run as root, and there is no user nobody "
                                  "or no setpriv to run it as");
        if (chown(QFile::encodeName(runtime).constData(), nobody->pw_uid, nobody->pw_gid) != 0)
            return QStringLiteral("the runtime folder cannot be given to nobody");
        // The folder of every X server's sockets, shared and sticky, as a server run by
        // root makes it; one nobody made would be nobody's.
        if (!QFileInfo::exists("/tmp/.X11-unix") &&
            (mkdir("/tmp/.X11-unix", 01777) != 0 || chmod("/tmp/.X11-unix", 01777) != 0))
            return QStringLiteral("no folder for X sockets");
        program = QStringLiteral("setpriv");
        arguments = {"--reuid=nobody", "--regid=nogroup", "--clear-groups", "sway"};
    }
    const QString me = QString::fromLocal8Bit(getpwuid(geteuid())->pw_name);
    // Floating windows, as a desktop's rules for a skinned player would have them (sway
    // tiles the resizable ones otherwise). Once XWayland runs, the session's displays
    // are written where the test finds them.
    const QString config = runtime + "/config";
    if (!writeFile(config,
                   "xwayland enable\n"
                   "output HEADLESS-1 resolution 1280x1024 position 0 0\n"
                   "for_window [app_id=\"pelto\"] floating enable\n"
                   "for_window [class=\"Pelto\"] floating enable\n"
                   "exec sh -c 'xhost +si:localuser:" +
                       me.toUtf8() +
                       " >/dev/null; echo \"$WAYLAND_DISPLAY $DISPLAY $SWAYSOCK\" > "
                       "\"$XDG_RUNTIME_DIR/session.tmp\"; mv \"$XDG_RUNTIME_DIR/session.tmp\" "
                       "\"$XDG_RUNTIME_DIR/session\"'\n"))
        return QStringLiteral("the compositor's configuration cannot be written");
    QFile::setPermissions(config, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                      QFileDevice::ReadOther);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name :
         {"WAYLAND_DISPLAY", "WAYLAND_SOCKET", "DISPLAY", "SWAYSOCK", "I3SOCK", "QT_QPA_PLATFORM"})
        env.remove(name);
    env.insert("XDG_RUNTIME_DIR", runtime);
    env.insert("HOME", runtime);
    env.insert("WLR_BACKENDS", "headless");
    env.insert("WLR_LIBINPUT_NO_DEVICES", "1");
    env.insert("WLR_RENDERER", "pixman");
    QProcess* sway = m_spawned.start(program, arguments + QStringList{"-c", config}, env);
    const QString session = runtime + "/session";
    if (!QTest::qWaitFor(
            [&] { return QFile::exists(session) || sway->state() == QProcess::NotRunning; },
            20000) ||
        !QFile::exists(session)) {
        const QList<QByteArray> said = sway->readAllStandardError().trimmed().split('\n');
        return QStringLiteral("sway did not start: ") + QString::fromLocal8Bit(said.last());
    }
    const QStringList names = QString::fromUtf8(readFile(session)).simplified().split(u' ');
    if (names.size() != 3)
        return QStringLiteral("sway did not start XWayland");

    m_clients = QProcessEnvironment::systemEnvironment();
    m_clients.remove("QT_QPA_PLATFORM");
    m_clients.insert("WAYLAND_DISPLAY", runtime + u'/' + names[0]);
    m_clients.insert("DISPLAY", names[1]);
    m_clients.insert("SWAYSOCK", names[2]);
    m_pointer = m_spawned.start(PELTO_BINARY_DIR "/virtual_pointer", {}, m_clients);
    if (!m_pointer->waitForReadyRead(10000) || m_pointer->readLine().trimmed() != "ready")
        return QStringLiteral("no pointer device on the compositor's seat: ") +
               QString::fromLocal8Bit(m_pointer->readAllStandardError().trimmed());
    return {};
}

bool Compositor::point(const QString& command) {
    m_pointer->write(command.toUtf8() + '\n');
    if (!m_pointer->waitForReadyRead(5000))
        return false;
    const bool taken = m_pointer->readLine().trimmed() == "ok";
    QTest::qWait(60); // the client's turn
    return taken;
}

bool Compositor::drag(QPoint from, QPoint by) {
    const QString to = QStringLiteral("to %1 %2 %3 %4")
                           .arg(from.x())
                           .arg(from.y())
                           .arg(kScreen.width())
                           .arg(kScreen.height());
    if (!point(to) || !point("press 1"))
        return false;
    // The compositor takes the move over once the program asks for it.
    QTest::qWait(500);
    constexpr int steps = 5;
    for (int n = 0; n < steps; ++n)
        if (!point(QStringLiteral("by %1 %2").arg(by.x() / steps).arg(by.y() / steps)))
            return false;
    return point("release 1");
}

bool Compositor::click(QPoint at, int button) {
    return point(QStringLiteral("to %1 %2 %3 %4")
                     .arg(at.x())
                     .arg(at.y())
                     .arg(kScreen.width())
                     .arg(kScreen.height())) &&
           point(QStringLiteral("press %1").arg(button)) &&
           point(QStringLiteral("release %1").arg(button));
}

bool Compositor::keys(const QStringList& names) {
    // The client is told of a new keyboard only after its first key: wait for it.
    QStringList args{"-s", "300"};
    for (const QString& name : names)
        args << "-k" << name << "-s"
             << "100";
    return Spawned::run("wtype", args, m_clients).exitCode == 0;
}

namespace {

void collectViews(const QJsonObject& node, qint64 pid, QMap<QString, View>& views) {
    if (node.value("pid").toInteger() == pid) {
        const QJsonObject r = node.value("rect").toObject();
        views.insert(node.value("name").toString(),
                     View{node.value("name").toString(), node.value("shell").toString(),
                          QRect(r.value("x").toInt(), r.value("y").toInt(),
                                r.value("width").toInt(), r.value("height").toInt())});
    }
    for (const char* children : {"nodes", "floating_nodes"})
        for (const QJsonValue& child : node.value(children).toArray())
            collectViews(child.toObject(), pid, views);
}

} // namespace

QMap<QString, View> Compositor::viewsOf(qint64 pid) const {
    QMap<QString, View> views;
    const Spawned::Result tree = Spawned::run("swaymsg", {"-t", "get_tree"}, m_clients);
    collectViews(QJsonDocument::fromJson(tree.out.toUtf8()).object(), pid, views);
    return views;
}

QImage Compositor::screenshot() {
    const QString file = m_runtime.filePath("screen.png");
    QFile::remove(file);
    if (Spawned::run("grim", {file}, m_clients).exitCode != 0)
        return {};
    return QImage(file);
}

} // namespace pelto::test
