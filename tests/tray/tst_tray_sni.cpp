// The tray icon of the real program as a StatusNotifierItem: on a session bus of the
// test's own, with Debian's status-notifier-watcher and the test as the host a desktop
// would be (registered with the watcher, reading the item and its exported menu over
// D-Bus, as a panel does), on a private Xvfb with openbox. The item registers with the
// tip "Pelto"; Activate does the left button's work (the minimised main window comes
// back); the exported menu holds the whole popup menu, and its items clicked through
// the menu's interface act as in the popup (the next song plays, the switch to keep
// the main window on top shows its check mark and the window stays on top).
#include "Desktop.h"
#include "TestFiles.h"
#include "TestWave.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace pelto::test;

namespace {

QVariant busProperty(const QString& service, const QString& path, const QString& interface,
                     const QString& name) {
    QDBusMessage get =
        QDBusMessage::createMethodCall(service, path, "org.freedesktop.DBus.Properties", "Get");
    get << interface << name;
    const QDBusMessage reply = QDBusConnection::sessionBus().call(get, QDBus::Block, 5000);
    return reply.arguments().isEmpty()
               ? QVariant()
               : reply.arguments().constFirst().value<QDBusVariant>().variant();
}

// One item of an exported menu: its id, label and check state.
struct MenuItem {
    int id = 0;
    QString label;
    bool checked = false;
};

// The items of a com.canonical.dbusmenu layout, in order, submenus' items after their
// parent.
void collect(const QDBusArgument& node, QList<MenuItem>& items) {
    MenuItem item;
    QVariantMap properties;
    QVariantList children;
    node.beginStructure();
    node >> item.id >> properties;
    node.beginArray();
    while (!node.atEnd()) {
        QDBusVariant child;
        node >> child;
        children << child.variant();
    }
    node.endArray();
    node.endStructure();
    item.label = properties.value("label").toString().remove(u'&');
    item.checked = properties.value("toggle-state").toInt() == 1;
    if (item.id != 0 && !item.label.isEmpty())
        items << item;
    for (const QVariant& child : children)
        collect(child.value<QDBusArgument>(), items);
}

QList<MenuItem> layoutOf(const QString& service, const QString& path) {
    QDBusMessage ask =
        QDBusMessage::createMethodCall(service, path, "com.canonical.dbusmenu", "GetLayout");
    ask << 0 << -1 << QStringList();
    const QDBusMessage reply = QDBusConnection::sessionBus().call(ask, QDBus::Block, 5000);
    QList<MenuItem> items;
    if (reply.arguments().size() == 2)
        collect(reply.arguments().at(1).value<QDBusArgument>(), items);
    return items;
}

void click(const QString& service, const QString& path, int id) {
    QDBusMessage event =
        QDBusMessage::createMethodCall(service, path, "com.canonical.dbusmenu", "Event");
    event << id << QStringLiteral("clicked") << QVariant::fromValue(QDBusVariant(0)) << 0u;
    QDBusConnection::sessionBus().call(event, QDBus::Block, 5000);
}

QJsonObject stateOf(const QString& path) {
    return QJsonDocument::fromJson(readFile(path)).object();
}

} // namespace

class TestTraySni : public QObject {
    Q_OBJECT
private slots:
    void theItemAndItsMenuOverTheBus();
};

void TestTraySni::theItemAndItsMenuOverTheBus() {
    for (const char* tool : {"Xvfb", "openbox", "xdotool", "xprop", "status-notifier-watcher"})
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
            QSKIP(qPrintable(QStringLiteral("%1 is not installed").arg(QLatin1String(tool))));
    QDBusConnection bus = QDBusConnection::sessionBus();
    QVERIFY2(bus.isConnected(), "run inside dbus-run-session");
    Desktop desktop;
    QVERIFY2(desktop.start(), "no display with a window manager");

    // The watcher, and the test registered with it as the host.
    Spawned spawned;
    spawned.start("status-notifier-watcher", {}, QProcessEnvironment::systemEnvironment());
    const QString watcher = "org.kde.StatusNotifierWatcher";
    QVERIFY(QTest::qWaitFor([&] { return bus.interface()->isServiceRegistered(watcher).value(); },
                            10000));
    const QString host =
        QStringLiteral("org.kde.StatusNotifierHost-%1").arg(QCoreApplication::applicationPid());
    QVERIFY(bus.registerService(host));
    QDBusMessage hostIn = QDBusMessage::createMethodCall(watcher, "/StatusNotifierWatcher", watcher,
                                                         "RegisterStatusNotifierHost");
    hostIn << host;
    QCOMPARE(bus.call(hostIn, QDBus::Block, 5000).type(), QDBusMessage::ReplyMessage);

    QTemporaryDir home;
    QVERIFY(home.isValid());
    QVERIFY(QFile::link(QStringLiteral(PELTO_BINARY_DIR "/skin"), home.filePath("skin")));
    for (const char* song : {"first.wav", "second.wav"})
        QVERIFY(writeSilentWave(home.filePath(song), 30));
    QVERIFY(writeFile(home.filePath("Pelto.m3u"), "first.wav\r\nsecond.wav\r\n"));
    const QString state = home.filePath("state.json");
    desktop.startPelto(home.path(), state, home.filePath("played.raw"), true);
    QVERIFY(QTest::qWaitFor([&] { return stateOf(state).contains("window"); }, 20000));

    // The item the program registered: "service/path" or a service whose path is the
    // usual one.
    QString item;
    QVERIFY(QTest::qWaitFor(
        [&] {
            const QStringList items = busProperty(watcher, "/StatusNotifierWatcher", watcher,
                                                  "RegisteredStatusNotifierItems")
                                          .toStringList();
            item = items.value(0);
            return !item.isEmpty();
        },
        10000));
    const QString service = item.section(u'/', 0, 0);
    const QString path =
        item.contains(u'/') ? u'/' + item.section(u'/', 1) : QStringLiteral("/StatusNotifierItem");
    const QString itemInterface = "org.kde.StatusNotifierItem";
    const QDBusArgument tip =
        busProperty(service, path, itemInterface, "ToolTip").value<QDBusArgument>();
    QString icon, title, text;
    tip.beginStructure();
    tip >> icon;
    tip.beginArray();
    while (!tip.atEnd()) {
        tip.beginStructure();
        int w = 0, h = 0;
        QByteArray pixels;
        tip >> w >> h >> pixels;
        tip.endStructure();
    }
    tip.endArray();
    tip >> title >> text;
    tip.endStructure();
    QCOMPARE(title, QStringLiteral("Pelto"));

    // Activate: the left button's work brings the minimised main window back.
    const QSize size = [&] {
        const QJsonArray w = stateOf(state).value("window").toArray();
        return QSize(w[2].toInt(), w[3].toInt());
    }();
    // The main window shown: the program's visible window of the size it reports.
    const auto mainWindow = [&] {
        for (const QString& id : desktop.windowsOfClass("pelto"))
            if (desktop.geometryOf(id).size() == size)
                return id;
        return QString();
    };
    QString mainId;
    QVERIFY(QTest::qWaitFor([&] { return !(mainId = mainWindow()).isEmpty(); }, 10000));
    desktop.xdotool({"windowminimize", "--sync", mainId});
    QVERIFY(QTest::qWaitFor([&] { return mainWindow().isEmpty(); }, 10000));
    QDBusMessage activate =
        QDBusMessage::createMethodCall(service, path, itemInterface, "Activate");
    activate << 10 << 10;
    const QDBusMessage activated = bus.call(activate, QDBus::Block, 5000);
    QVERIFY2(activated.type() == QDBusMessage::ReplyMessage, qPrintable(activated.errorMessage()));
    QVERIFY2(QTest::qWaitFor([&] { return !(mainId = mainWindow()).isEmpty(); }, 10000),
             "Activate did not bring the main window back");

    // The exported menu: every item of the popup, submenus included.
    const QString menu =
        busProperty(service, path, itemInterface, "Menu").value<QDBusObjectPath>().path();
    QVERIFY2(menu.startsWith(u'/') && menu != u"/NO_DBUSMENU", qPrintable(menu));
    const QList<MenuItem> items = layoutOf(service, menu);
    QStringList labels;
    for (const MenuItem& i : items)
        labels << i.label;
    qInfo("the exported menu: %s", qPrintable(labels.join(u" | ")));
    const auto find = [&](const QString& part) {
        for (const MenuItem& i : layoutOf(service, menu))
            if (i.label.contains(part))
                return i;
        return MenuItem{};
    };
    for (const char* caption : {"常に手前に表示", "プレイリスト", "次の曲へ", "100%", "10%",
                                "standard", "washi", "Pelto の終了"})
        QVERIFY2(find(QString::fromUtf8(caption)).id != 0, caption);

    // Its items act as in the popup.
    QCOMPARE(stateOf(state).value("PlayListTrNum").toInt(), 1);
    click(service, menu, find("次の曲へ").id);
    QVERIFY2(
        QTest::qWaitFor([&] { return stateOf(state).value("PlayListTrNum").toInt() == 2; }, 10000),
        "the next song did not play");
    const MenuItem alwaysTop = find("常に手前に表示");
    QVERIFY(!alwaysTop.checked);
    click(service, menu, alwaysTop.id);
    QVERIFY(QTest::qWaitFor([&] { return find("常に手前に表示").checked; }, 10000));
    QVERIFY(QTest::qWaitFor([&] { return desktop.keptAbove(mainWindow()); }, 10000));
    click(service, menu, find("Pelto の終了").id);
}

QTEST_GUILESS_MAIN(TestTraySni)
#include "tst_tray_sni.moc"
