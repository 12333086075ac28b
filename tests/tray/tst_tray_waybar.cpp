// The icon in a tray drawn by a desktop's own host: waybar's tray (a StatusNotifierItem
// watcher and host) in a headless sway session, on the test's session bus, with the
// real program on XWayland. The icon shows in the bar; a right click on it opens the
// menu waybar draws from the one the program exports, with its check boxes and
// submenus; a click on its last item ends the program the normal way.
#include "Compositor.h"
#include "Desktop.h"
#include "Spawned.h"
#include "TestFiles.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QImage>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace pelto::test;

namespace {

constexpr int kBarHeight = 30;
const QString kWatcher = QStringLiteral("org.kde.StatusNotifierWatcher");

QVariant watcherProperty(const QString& name) {
    QDBusMessage get = QDBusMessage::createMethodCall(kWatcher, "/StatusNotifierWatcher",
                                                      "org.freedesktop.DBus.Properties", "Get");
    get << kWatcher << name;
    const QDBusMessage reply = QDBusConnection::sessionBus().call(get, QDBus::Block, 5000);
    return reply.arguments().isEmpty() ? QVariant()
                                       : reply.arguments().first().value<QDBusVariant>().variant();
}

// The box of the pixels that differ between two shots within `area`; empty when none.
QRect changed(const QImage& before, const QImage& after, const QRect& area) {
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (before.pixel(x, y) != after.pixel(x, y))
                box |= QRect(x, y, 1, 1);
    return box;
}

} // namespace

class TestTrayWaybar : public QObject {
    Q_OBJECT
private slots:
    void theIconAndItsMenuInWaybar();
};

void TestTrayWaybar::theIconAndItsMenuInWaybar() {
    for (const char* tool : {"waybar", "grim"})
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
            QSKIP(qPrintable(QStringLiteral("%1 is not installed").arg(QLatin1String(tool))));
    QDBusConnection bus = QDBusConnection::sessionBus();
    QVERIFY2(bus.isConnected(), "run inside dbus-run-session");
    Compositor session;
    if (const QString why = session.start(); !why.isEmpty())
        QSKIP(qPrintable(why));

    // waybar with only its tray, at the bottom; it serves the watcher itself.
    QTemporaryDir bar;
    QVERIFY(bar.isValid());
    QVERIFY(writeFile(bar.filePath("config"),
                      "{ \"layer\": \"top\", \"position\": \"bottom\", \"height\": 30,"
                      " \"modules-right\": [\"tray\"], \"tray\": { \"icon-size\": 21 } }\n"));
    QVERIFY(writeFile(bar.filePath("style.css"),
                      "* { font-size: 12px; } window#waybar { background: #202020; }\n"));
    QProcessEnvironment barEnv = session.clients();
    barEnv.insert("XDG_RUNTIME_DIR", bar.path());
    Spawned spawned;
    spawned.start("waybar", {"-c", bar.filePath("config"), "-s", bar.filePath("style.css")},
                  barEnv);
    QVERIFY2(QTest::qWaitFor(
                 [&] { return watcherProperty("IsStatusNotifierHostRegistered").toBool(); }, 15000),
             "waybar's tray did not come up on the bus");
    const QRect tray(Compositor::kScreen.width() - 200, Compositor::kScreen.height() - kBarHeight,
                     200, kBarHeight);
    QImage empty;
    QVERIFY2(QTest::qWaitFor(
                 [&] {
                     empty = session.screenshot();
                     return !empty.isNull() && empty.pixel(tray.center()) == qRgb(0x20, 0x20, 0x20);
                 },
                 10000),
             "the bar did not show");

    QTemporaryDir home;
    QVERIFY(home.isValid());
    QVERIFY(QFile::link(QStringLiteral(PELTO_BINARY_DIR "/skin"), home.filePath("skin")));
    Desktop desktop;
    desktop.join(session.clients());
    QProcess* pelto = desktop.startPelto(home.path(), home.filePath("state.json"),
                                         home.filePath("played.raw"), true);
    QVERIFY(pelto->waitForStarted());
    QVERIFY2(
        QTest::qWaitFor(
            [&] {
                return watcherProperty("RegisteredStatusNotifierItems").toStringList().size() == 1;
            },
            15000),
        "the icon did not register with waybar's watcher");

    // The icon, drawn by waybar where the bar was empty.
    QRect icon;
    QVERIFY2(QTest::qWaitFor(
                 [&] {
                     icon = changed(empty, session.screenshot(), tray);
                     return icon.width() >= 16 && icon.height() >= 16;
                 },
                 10000),
             "waybar shows no icon");
    qInfo("waybar shows the icon at %d,%d, %dx%d", icon.x(), icon.y(), icon.width(), icon.height());
    QVERIFY(icon.width() <= 32 && icon.height() <= kBarHeight);

    // A right click: waybar asks for the menu and draws it above the bar.
    QVERIFY2(QTest::qWaitFor([&] { return !session.viewsOf(pelto->processId()).isEmpty(); }, 10000),
             "the main window did not show");
    QTest::qWait(300);
    const QImage withIcon = session.screenshot();
    QVERIFY(session.click(icon.center(), 3));
    const QRect above(Compositor::kScreen.width() - 600, Compositor::kScreen.height() - 500, 600,
                      500 - kBarHeight);
    QRect menu;
    QVERIFY2(QTest::qWaitFor(
                 [&] {
                     menu = changed(withIcon, session.screenshot(), above);
                     return menu.height() > 200;
                 },
                 10000),
             "no menu opened");
    qInfo("waybar's menu: %dx%d at %d,%d", menu.width(), menu.height(), menu.x(), menu.y());
    // Nine items, as the popup's top level has them; the last, "Pelto の終了", ends it.
    QVERIFY(session.click(QPoint(menu.center().x(), menu.bottom() - menu.height() / 18), 1));
    QVERIFY2(QTest::qWaitFor([&] { return pelto->state() == QProcess::NotRunning; }, 15000),
             "the menu's last item did not end the program");
    QVERIFY2(pelto->exitStatus() == QProcess::NormalExit && pelto->exitCode() == 0,
             pelto->readAllStandardError().right(4000).constData());
    QVERIFY(QFile::exists(home.filePath("Pelto.cfg")));
}

QTEST_GUILESS_MAIN(TestTrayWaybar)
#include "tst_tray_waybar.moc"
