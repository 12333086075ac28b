// The real program in a Wayland session: a headless sway with XWayland, started here on
// a private runtime folder, with a pointer device of the test's own on its seat (a
// headless compositor has none). Left to itself the program starts on X through
// XWayland: both windows are X windows, a drag of the background moves the main window
// (through the compositor, which refuses an X client's own moves) and the place it
// was left in is saved. With QT_QPA_PLATFORM=wayland it runs natively: both windows
// show, drags move them through the compositor, the power button opens the menu whose
// last item ends the program with Pelto.cfg written, and stderr says once that the
// windows' places are the compositor's. Every process started here ends with the test.
#include "Compositor.h"
#include "ConfigEntries.h"
#include "Desktop.h"
#include "Spawned.h"
#include "TestFiles.h"
#include "skin/SkinReader.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>


using namespace pelto;
using namespace pelto::test;

namespace {

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
