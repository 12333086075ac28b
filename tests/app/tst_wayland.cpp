// The real program in a Wayland session: a headless sway with XWayland, started here on
// a private runtime folder, with a pointer device of the test's own on its seat (a
// headless compositor has none). Left to itself the program starts on X through
// XWayland: both windows are X windows, a drag of the background moves the main window
// (through the compositor, which refuses an X client's own moves) and the place it
// was left in is saved. With QT_QPA_PLATFORM=wayland it runs natively: both windows
// show, drags move them through the compositor, the power button opens the menu whose
// last item ends the program with Pelto.cfg written, and stderr says once that the
// windows' places are the compositor's. Every process started here ends with the test.
#include "ConfigEntries.h"
#include "Desktop.h"
#include "Spawned.h"
#include "TestFiles.h"
#include "skin/SkinReader.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLibraryInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace pelto;
using namespace pelto::test;

namespace {

constexpr QSize kScreen(1280, 1024);

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
    bool click(QPoint at);
    // Keys typed on a keyboard of the session's own, e.g. {"Up", "Return"}.
    bool keys(const QStringList& names);

private:
    QTemporaryDir m_runtime;
    Spawned m_spawned;
    QProcessEnvironment m_clients;
    QProcess* m_pointer = nullptr;
    bool point(const QString& command);
};

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

bool Compositor::click(QPoint at) {
    return point(QStringLiteral("to %1 %2 %3 %4")
                     .arg(at.x())
                     .arg(at.y())
                     .arg(kScreen.width())
                     .arg(kScreen.height())) &&
           point("press 1") && point("release 1");
}

bool Compositor::keys(const QStringList& names) {
    // The client is told of a new keyboard only after its first key: wait for it.
    QStringList args{"-s", "300"};
    for (const QString& name : names)
        args << "-k" << name << "-s"
             << "100";
    return Spawned::run("wtype", args, m_clients).exitCode == 0;
}

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

QMap<QString, View> Compositor::viewsOf(qint64 pid) const {
    QMap<QString, View> views;
    const Spawned::Result tree = Spawned::run("swaymsg", {"-t", "get_tree"}, m_clients);
    collectViews(QJsonDocument::fromJson(tree.out.toUtf8()).object(), pid, views);
    return views;
}

// A home with the shipped skins and the windows' saved places, the playlist window shown.
bool makeHome(const QString& home) {
    return QFile::link(QStringLiteral(PELTO_BINARY_DIR "/skin"), home + "/skin") &&
           writeFile(home + "/Pelto.cfg",
                     "[Pelto SaveData Type 2]\r\nMainPlayer_X,40\r\nMainPlayer_Y,60\r\n"
                     "PlayList_X,300\r\nPlayList_Y,400\r\nPlayList_Visible,1\r\n");
}

// A point of the main window's background, from its top-left corner.
constexpr QPoint kBackground(10, 8);
// A point of the playlist window's strip beside its title.
constexpr QPoint kPlaylistStrip(48, 9);

QStringList aboutWayland(const QString& said) {
    return said.split(u'\n', Qt::SkipEmptyParts).filter("on Wayland");
}

} // namespace

class TestWayland : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void onXWaylandByDefault();
    void nativeWithTheCompositorPlacing();

private:
    Compositor m_compositor;
};

void TestWayland::initTestCase() {
    if (const QString why = m_compositor.start(); !why.isEmpty())
        QSKIP(qPrintable(why));
}

void TestWayland::onXWaylandByDefault() {
    QTemporaryDir home;
    QVERIFY(home.isValid() && makeHome(home.path()));
    const QString state = home.filePath("state.json");
    Desktop desktop;
    desktop.join(m_compositor.clients()); // neither a platform nor a display chosen
    QProcess* pelto = desktop.startPelto(home.path(), state, home.filePath("played.raw"));

    // Both windows are X windows, which a native Wayland client has none of.
    QString main, playlist;
    QVERIFY2(QTest::qWaitFor(
                 [&] {
                     main = desktop.windowNamed("^Pelto$");
                     playlist = desktop.windowNamed("^プレイリスト$");
                     return !main.isEmpty() && !playlist.isEmpty();
                 },
                 20000),
             "the windows did not show on the XWayland display");
    QTest::qWait(500);
    const QMap<QString, View> views = m_compositor.viewsOf(pelto->processId());
    QCOMPARE(views.value("Pelto").shell, QString("xwayland"));
    QCOMPARE(views.value("プレイリスト").shell, QString("xwayland"));
    const QRect shown = desktop.geometryOf(main);
    QCOMPARE(views.value("Pelto").rect, shown);
    QCOMPARE(shown.size(), QSize(360, 140));
    {
        // sway places every X window itself: the program asks for the saved places
        // and the compositor puts the windows in the middle of the screen.
        QEXPECT_FAIL("", "sway does not apply the places X clients ask for", Continue);
        QCOMPARE(shown.topLeft(), QPoint(40, 60));
    }

    // A drag of the background moves the window with the pointer.
    QVERIFY(m_compositor.drag(shown.topLeft() + kBackground, {100, 50}));
    QTRY_COMPARE(desktop.geometryOf(main), shown.translated(100, 50));

    // The place it was left in is the one saved.
    pelto->terminate();
    QVERIFY(pelto->waitForFinished(15000));
    // Ended by itself, without a crash or a sanitizer's report.
    const QString said = QString::fromLocal8Bit(pelto->readAllStandardError());
    QVERIFY2(pelto->exitStatus() == QProcess::NormalExit && pelto->exitCode() == 0,
             qPrintable(said));
    const QMap<QString, QString> saved = configEntries(home.filePath("Pelto.cfg"));
    QCOMPARE(saved.value("MainPlayer_X"), QString::number(shown.x() + 100));
    QCOMPARE(saved.value("MainPlayer_Y"), QString::number(shown.y() + 50));
    QCOMPARE(aboutWayland(said), QStringList());
}

void TestWayland::nativeWithTheCompositorPlacing() {
    QTemporaryDir home;
    QVERIFY(home.isValid() && makeHome(home.path()));
    const QString state = home.filePath("state.json");
    QProcessEnvironment env = m_compositor.clients();
    env.insert("QT_QPA_PLATFORM", "wayland"); // the X display stays offered
    Desktop desktop;
    desktop.join(env);
    QProcess* pelto = desktop.startPelto(home.path(), state, home.filePath("played.raw"));

    QMap<QString, View> views;
    QVERIFY2(QTest::qWaitFor(
                 [&] {
                     views = m_compositor.viewsOf(pelto->processId());
                     return views.contains("Pelto") && views.contains("プレイリスト");
                 },
                 20000),
             "the windows did not show");
    QCOMPARE(views.value("Pelto").shell, QString("xdg_shell"));
    QCOMPARE(views.value("プレイリスト").shell, QString("xdg_shell"));
    QCOMPARE(views.value("Pelto").rect.size(), QSize(360, 140));
    QCOMPARE(desktop.windowsOfClass("pelto"), QStringList()); // nothing on X
    QTest::qWait(500);

    // Drags move both windows, through the compositor.
    const auto placeOf = [&](const char* name) {
        return m_compositor.viewsOf(pelto->processId()).value(QString::fromUtf8(name)).rect;
    };
    const QRect main = placeOf("Pelto");
    QVERIFY(m_compositor.drag(main.topLeft() + kBackground, {50, 30}));
    QTRY_COMPARE(placeOf("Pelto"), main.translated(50, 30));
    const QRect playlist = placeOf("プレイリスト");
    QVERIFY(m_compositor.drag(playlist.topLeft() + kPlaylistStrip, {-60, -40}));
    QTRY_COMPARE(placeOf("プレイリスト"), playlist.translated(-60, -40));

    // With no tray the power button opens the menu; its last item ends the program.
    const QPoint power = readSkin(QStringLiteral(PELTO_BINARY_DIR "/skin/standard"),
                                  initialSkinState())[SkinElement::PowerSkin]
                             .geometry.center();
    QVERIFY(m_compositor.click(main.translated(50, 30).topLeft() + power));
    QTest::qWait(700);
    QVERIFY(m_compositor.keys({"Up", "Return"}));
    QVERIFY2(pelto->waitForFinished(15000), "the menu's last item did not end the program");
    // Ended by itself, without a crash or a sanitizer's report.
    const QString said = QString::fromLocal8Bit(pelto->readAllStandardError());
    QVERIFY2(pelto->exitStatus() == QProcess::NormalExit && pelto->exitCode() == 0,
             qPrintable(said));

    // Pelto.cfg was written (the list's column widths are new in it); the saved places
    // stand, since no Wayland client learns where its windows are.
    const QMap<QString, QString> saved = configEntries(home.filePath("Pelto.cfg"));
    QVERIFY(saved.contains("PlayListView_Item(1)Size"));
    QCOMPARE(saved.value("MainPlayer_X"), QString("40"));
    QCOMPARE(saved.value("PlayList_Y"), QString("400"));
    QCOMPARE(aboutWayland(said).size(), 1);
}

QTEST_GUILESS_MAIN(TestWayland)
#include "tst_wayland.moc"
