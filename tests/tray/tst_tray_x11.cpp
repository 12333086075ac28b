// The tray icon and the popup menu of the real program on a real X display: a private
// Xvfb with openbox and the trayer panel, all started here. The icon docks in the
// panel; a right click on it opens the menu, whose items, chosen with the keyboard,
// keep the main window on top (the window manager's _NET_WM_STATE_ABOVE), show the
// playlist window, set the volume to 50%, switch the skin, open and close the three
// dialogs, and end the program with Pelto.cfg and Pelto.m3u written; a left click
// brings the minimised main window back. Before the panel starts, the program says
// once on stderr that there is no tray, and the power button opens the same menu.
// Every process started here ends with the test.
#include "ConfigEntries.h"
#include "Spawned.h"
#include "TestFiles.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRect>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace pelto::test;

namespace {

// One desktop: the display with its window manager, and the commands run on it.
class Desktop {
public:
    bool start() {
        m_env = QProcessEnvironment::systemEnvironment();
        const QString display = m_spawned.startDisplay(m_env);
        if (display.isEmpty())
            return false;
        m_env.insert("DISPLAY", display);
        m_spawned.start("openbox", {}, m_env);
        return QTest::qWaitFor(
            [&] {
                // The work area is among the last things the manager sets up.
                return run("xprop", {"-root", "_NET_WORKAREA"}).contains("=");
            },
            110000);
    }

    QProcess* startTray() {
        return m_spawned.start("trayer",
                               {"--edge", "bottom", "--align", "right", "--widthtype", "pixel",
                                "--width", "120", "--heighttype", "pixel", "--height", "32"},
                               m_env);
    }

    QProcess* startPelto(const QString& home, const QString& state) {
        QProcessEnvironment env = m_env;
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.insert("SDL_AUDIODRIVER", "dummy");
        env.insert("PELTO_HOME", home);
        env.insert("PELTO_TEST_STATE_FILE", state);
        env.insert("XDG_RUNTIME_DIR", home + "/run");
        // The icon goes to the panel, not to a tray service on a session bus.
        env.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent");
        QDir(home).mkdir("run");
        QFile::setPermissions(home + "/run", QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                 QFileDevice::ExeOwner);
        return m_spawned.start(PELTO_BINARY_DIR "/pelto", {}, env);
    }

    QString run(const QString& program, const QStringList& args) {
        const Spawned::Result r = Spawned::run(program, args, m_env, 10000);
        return r.exitCode == 0 ? r.out : QString();
    }
    QStringList xdotool(const QStringList& args) {
        return run("xdotool", args).split(u'\n', Qt::SkipEmptyParts);
    }
    void keys(const QStringList& keys) { xdotool(QStringList{"key", "--delay", "60"} + keys); }

    // The visible windows of the given class, or named by a pattern.
    QStringList windowsOfClass(const QString& name) {
        return xdotool({"search", "--onlyvisible", "--classname", name});
    }
    QString windowNamed(const QString& pattern) {
        const QStringList ids = xdotool({"search", "--onlyvisible", "--name", pattern});
        return ids.isEmpty() ? QString() : ids.first();
    }
    // Whether a popup menu of the program shows: its only window the window manager
    // does not handle.
    bool menuShown() {
        for (const QString& id : windowsOfClass("pelto"))
            if (run("xwininfo", {"-id", id}).contains("Override Redirect State: yes"))
                return true;
        return false;
    }
    QRect geometryOf(const QString& id) {
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

private:
    Spawned m_spawned;
    QProcessEnvironment m_env;
};

QJsonObject stateOf(const QString& path) {
    return QJsonDocument::fromJson(readFile(path)).object();
}

QRect windowOf(const QJsonObject& state) {
    const QJsonArray w = state.value("window").toArray();
    return QRect(w[0].toInt(), w[1].toInt(), w[2].toInt(), w[3].toInt());
}

// A home with the shipped skins and a saved playlist.
bool makeHome(const QString& home) {
    return QFile::link(QStringLiteral(PELTO_BINARY_DIR "/skin"), home + "/skin") &&
           writeFile(home + "/Pelto.cfg",
                     "[Pelto SaveData Type 2]\r\nMainPlayer_X,40\r\nMainPlayer_Y,40\r\n") &&
           writeFile(home + "/Pelto.m3u", "first.wav\r\nsecond.wav\r\n");
}

} // namespace

// One display for both cases: first without a tray, then with the panel started.
class TestTrayX11 : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void withoutATrayThePowerButtonOpensTheMenu();
    void iconDocksAndTheMenuDrivesTheProgram();

private:
    Desktop m_desktop;
};

void TestTrayX11::initTestCase() {
    for (const char* tool : {"Xvfb", "openbox", "trayer", "xdotool", "xprop", "xwininfo"})
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
            QSKIP(qPrintable(QStringLiteral("%1 is not installed").arg(QLatin1String(tool))));
    QVERIFY2(m_desktop.start(), "no display with a window manager");
}

void TestTrayX11::withoutATrayThePowerButtonOpensTheMenu() {
    QTemporaryDir home;
    QVERIFY(home.isValid() && makeHome(home.path()));
    const QString state = home.filePath("state.json");
    Desktop& desktop = m_desktop;
    QProcess* pelto = desktop.startPelto(home.path(), state);
    QVERIFY(QTest::qWaitFor([&] { return stateOf(state).contains("window"); }, 20000));
    QRect window;
    QVERIFY2(QTest::qWaitFor(
                 [&] {
                     for (const QString& id : desktop.windowsOfClass("pelto"))
                         if (desktop.geometryOf(id).size() == windowOf(stateOf(state)).size())
                             window = desktop.geometryOf(id);
                     return !window.isEmpty();
                 },
                 10000),
             "the main window did not show");

    // The standard skin's power button lies at (334, 6) in the window.
    desktop.xdotool({"mousemove", QString::number(window.x() + 340),
                     QString::number(window.y() + 12), "click", "1"});
    QVERIFY2(QTest::qWaitFor([&] { return desktop.menuShown(); }, 10000),
             "the power button did not open the menu");
    QTest::qWait(300);
    desktop.keys(QStringList(5, "Down") + QStringList{"Right"} + QStringList(9, "Down") +
                 QStringList{"Return"});
    QVERIFY(QTest::qWaitFor([&] { return stateOf(state).value("WavVolume").toInt() == 3; }, 10000));

    pelto->terminate();
    QVERIFY(pelto->waitForFinished(10000));
    const QStringList said = QString::fromLocal8Bit(pelto->readAllStandardError())
                                 .split(u'\n', Qt::SkipEmptyParts)
                                 .filter("system tray");
    QCOMPARE(said.size(), 1);
    QVERIFY(said[0].startsWith("Pelto: "));
}

void TestTrayX11::iconDocksAndTheMenuDrivesTheProgram() {
    QTemporaryDir home;
    QVERIFY(home.isValid() && makeHome(home.path()));
    const QString state = home.filePath("state.json");
    Desktop& desktop = m_desktop;
    desktop.startTray();
    QString panel;
    QVERIFY(QTest::qWaitFor([&] { return !(panel = desktop.windowNamed("^panel$")).isEmpty(); },
                            110000));
    QProcess* pelto = desktop.startPelto(home.path(), state);
    QVERIFY(QTest::qWaitFor([&] { return stateOf(state).contains("window"); }, 20000));
    const QRect standard = windowOf(stateOf(state));

    // The icon docks: a window of the program inside the panel.
    const auto docked = [&] {
        return desktop.run("xwininfo", {"-tree", "-id", panel}).contains("(\"pelto\" \"Pelto\")");
    };
    QVERIFY2(QTest::qWaitFor(docked, 110000), "the icon did not dock in the panel");
    QString icon, main;
    for (const QString& id : desktop.windowsOfClass("pelto")) {
        const QRect r = desktop.geometryOf(id);
        if (desktop.geometryOf(panel).contains(r))
            icon = id;
        else if (r.size() == standard.size())
            main = id;
    }
    QVERIFY(!icon.isEmpty() && !main.isEmpty());
    const QPoint iconCentre = desktop.geometryOf(icon).center();

    // A right click opens the menu; its items are chosen with the keyboard.
    const auto chooseFromMenu = [&](const QStringList& keys) {
        desktop.xdotool({"mousemove", QString::number(iconCentre.x()),
                         QString::number(iconCentre.y()), "click", "3"});
        if (!QTest::qWaitFor([&] { return desktop.menuShown(); }, 10000))
            return false;
        // The menu takes the keyboard just after it shows.
        QTest::qWait(300);
        desktop.keys(keys);
        return true;
    };
    const auto mainWindow = [&] {
        for (const QString& id : desktop.windowsOfClass("pelto"))
            if (desktop.geometryOf(id).size() == windowOf(stateOf(state)).size() &&
                desktop.geometryOf(id) != desktop.geometryOf(icon))
                return id;
        return QString();
    };
    const auto above = [&] {
        const QString id = mainWindow();
        return !id.isEmpty() &&
               desktop.run("xprop", {"-id", id, "_NET_WM_STATE"}).contains("_NET_WM_STATE_ABOVE");
    };

    // "常に手前に表示"
    QVERIFY(!above());
    QVERIFY(chooseFromMenu({"Down", "Return"}));
    QVERIFY2(QTest::qWaitFor(above, 10000), "the main window is not kept above");
    // "プレイリスト"
    QVERIFY(desktop.windowNamed("^プレイリスト$").isEmpty());
    QVERIFY(chooseFromMenu({"Down", "Down", "Down", "Return"}));
    QVERIFY(
        QTest::qWaitFor([&] { return !desktop.windowNamed("^プレイリスト$").isEmpty(); }, 10000));
    // "音量" > "50%"
    QVERIFY(chooseFromMenu(QStringList(5, "Down") + QStringList{"Right"} + QStringList(5, "Down") +
                           QStringList{"Return"}));
    QVERIFY(
        QTest::qWaitFor([&] { return stateOf(state).value("WavVolume").toInt() == 16; }, 10000));
    // "スキン" > the second skin: the main window takes its size.
    QVERIFY(
        chooseFromMenu(QStringList(6, "Down") + QStringList{"Right", "Down", "Down", "Return"}));
    QVERIFY(QTest::qWaitFor(
        [&] { return stateOf(state).value("Skin_FilePath").toString() == "washi"; }, 10000));
    const QRect washi = windowOf(stateOf(state));
    QVERIFY(washi.size() != standard.size());
    QVERIFY(QTest::qWaitFor([&] { return !mainWindow().isEmpty(); }, 10000));

    // The three dialogs open, and close by their keys.
    const struct {
        QStringList keys;
        const char* title;
        const char* closeKey;
    } dialogs[] = {
        {QStringList(7, "Down") + QStringList{"Return"}, "^Pelto 設定$", "Escape"},
        {QStringList(6, "Down") + QStringList{"Right", "Return"}, "^Pelto Skin情報$", "Escape"},
        {QStringList(8, "Down") + QStringList{"Return"}, "^Pelto バージョン情報$", "space"},
    };
    for (const auto& dialog : dialogs) {
        QVERIFY(chooseFromMenu(dialog.keys));
        QString id;
        QVERIFY2(QTest::qWaitFor(
                     [&] { return !(id = desktop.windowNamed(dialog.title)).isEmpty(); }, 10000),
                 dialog.title);
        desktop.xdotool({"windowactivate", "--sync", id});
        desktop.keys({dialog.closeKey});
        QVERIFY2(
            QTest::qWaitFor([&] { return desktop.windowNamed(dialog.title).isEmpty(); }, 10000),
            dialog.title);
    }

    // A left click brings the minimised main window back.
    desktop.xdotool({"windowminimize", "--sync", mainWindow()});
    QVERIFY(QTest::qWaitFor([&] { return mainWindow().isEmpty(); }, 10000));
    desktop.xdotool({"mousemove", QString::number(iconCentre.x()), QString::number(iconCentre.y()),
                     "click", "1"});
    QVERIFY2(QTest::qWaitFor([&] { return !mainWindow().isEmpty(); }, 10000),
             "a left click did not show the main window");

    // "Pelto の終了": the unload writes everything and the program ends.
    QFile::remove(home.filePath("Pelto.m3u"));
    QVERIFY(chooseFromMenu(QStringList(9, "Down") + QStringList{"Return"}));
    QVERIFY(pelto->waitForFinished(10000));
    QCOMPARE(pelto->exitCode(), 0);
    const auto saved = configEntries(home.filePath("Pelto.cfg"));
    QCOMPARE(saved.value("AlwaysTop"), QString("1"));
    QCOMPARE(saved.value("WavVolume"), QString("16"));
    QCOMPARE(saved.value("Skin_FilePath"), QString("washi"));
    QCOMPARE(saved.value("PlayList_Visible"), QString("1"));
    QCOMPARE(readFile(home.filePath("Pelto.m3u")), QByteArray("first.wav\r\nsecond.wav\r\n"));
    QCOMPARE(QString::fromLocal8Bit(pelto->readAllStandardError()).count("system tray"), 0);
}

QTEST_GUILESS_MAIN(TestTrayX11)
#include "tst_tray_x11.moc"
