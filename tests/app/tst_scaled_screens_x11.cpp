// The real program on scaled screens: a private Xvfb (1280 × 1024) with openbox, both
// started here, scaled by QT_SCALE_FACTOR 1.5 and 2 and by the X resource Xft.dpi 192
// (merged with xrdb, as desktops set it). Under each: the main window takes its skin's
// size times the scale; a place saved under scale 1 puts it on the same spot of the
// screen, and it is saved back as that spot; the playlist window without a saved place
// shows beside the main window, never over it; the main window's playlist button and
// volume bar, hit at their places on the screen, hide and show it and set the step
// that place stands for; places saved off the screen bring both windows onto it. Every process
// started here ends with the test.
#include "ConfigEntries.h"
#include "Desktop.h"
#include "TestFiles.h"
#include "player/VolumeControl.h"
#include "settings/Settings.h"
#include "skin/SkinReader.h"

#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

using namespace pelto;
using namespace pelto::test;

namespace {

const QRect kScreen(0, 0, 1280, 1024);

// Whether two numbers of screen pixels agree: whole logical pixels reach only every
// other screen pixel at scale 1.5.
bool near(int a, int b) {
    return std::abs(a - b) <= 1;
}

} // namespace

class TestScaledScreensX11 : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void placesAndSkinFollowTheScale_data();
    void placesAndSkinFollowTheScale();

private:
    struct Run {
        QProcess* pelto = nullptr;
        QString main, list; // the windows' ids
    };
    // Starts the program in `home` and waits for its main window (and the playlist
    // window, shown at start by the configuration).
    bool start(Desktop& desktop, const QString& home, Run& run);
    // Ends the program the way the desktop session does; Pelto.cfg is written.
    static bool end(Run& run);
};

void TestScaledScreensX11::initTestCase() {
    for (const char* tool : {"Xvfb", "openbox", "xdotool", "xrdb"})
        if (QStandardPaths::findExecutable(tool).isEmpty())
            QSKIP(qPrintable(QStringLiteral("%1 is not installed (scripts/setup.sh)").arg(tool)));
}

bool TestScaledScreensX11::start(Desktop& desktop, const QString& home, Run& run) {
    QFile::remove(home + "/state.json");
    run.pelto = desktop.startPelto(home, home + "/state.json", home + "/played.raw");
    const bool shown = QTest::qWaitFor(
        [&] {
            run.main = desktop.windowNamed("^Pelto$");
            run.list = desktop.windowNamed(QStringLiteral("^プレイリスト$"));
            return !run.main.isEmpty() && !run.list.isEmpty();
        },
        20000);
    // The window manager has placed both.
    QTest::qWait(1000);
    return shown;
}

bool TestScaledScreensX11::end(Run& run) {
    run.pelto->terminate();
    return run.pelto->waitForFinished(10000) && run.pelto->exitCode() == 0;
}

void TestScaledScreensX11::placesAndSkinFollowTheScale_data() {
    QTest::addColumn<QString>("scaleFactor"); // QT_SCALE_FACTOR, or empty
    QTest::addColumn<int>("xftDpi");          // Xft.dpi, or 0
    QTest::addColumn<qreal>("ratio");         // the screen pixels per pixel expected
    QTest::newRow("QT_SCALE_FACTOR=1.5") << "1.5" << 0 << 1.5;
    QTest::newRow("QT_SCALE_FACTOR=2") << "2" << 0 << 2.0;
    QTest::newRow("Xft.dpi 192") << "" << 192 << 2.0;
}

void TestScaledScreensX11::placesAndSkinFollowTheScale() {
    QFETCH(QString, scaleFactor);
    QFETCH(int, xftDpi);
    QFETCH(qreal, ratio);
    Desktop desktop;
    QVERIFY(desktop.start(QStringLiteral("%1x%2x24").arg(kScreen.width()).arg(kScreen.height())));
    if (!scaleFactor.isEmpty())
        desktop.setEnvironment("QT_SCALE_FACTOR", scaleFactor);
    if (xftDpi) {
        QTemporaryDir dir;
        QVERIFY(
            writeFile(dir.filePath("Xresources"), "Xft.dpi: " + QByteArray::number(xftDpi) + "\n"));
        desktop.run("xrdb", {"-merge", dir.filePath("Xresources")});
        QVERIFY(desktop.run("xrdb", {"-query"}).contains(QString::number(xftDpi)));
    }

    QTemporaryDir home;
    QVERIFY(QFile::link(QStringLiteral(PELTO_BINARY_DIR "/skin"), home.filePath("skin")));
    // Saved under scale 1: the main window's place, the playlist window shown but
    // never placed.
    QVERIFY(writeFile(home.filePath("Pelto.cfg"), "[Pelto SaveData Type 2]\r\nMainPlayer_X,100\r\n"
                                                  "MainPlayer_Y,80\r\nPlayList_Visible,1\r\n"));
    Run run;
    QVERIFY2(start(desktop, home.path(), run), "the windows did not show");
    const QRect main = desktop.geometryOf(run.main);
    const QRect list = desktop.geometryOf(run.list);
    qInfo() << "main window" << main << "playlist window" << list;

    // The skin's size times the scale, on the spot of the screen saved under scale 1.
    const QString skin = QStringLiteral(PELTO_BINARY_DIR "/skin/standard/");
    const QSize bitmap = QImage(skin + "main.bmp").size();
    QVERIFY2(near(main.width(), qRound(bitmap.width() * ratio)) &&
                 near(main.height(), qRound(bitmap.height() * ratio)),
             "the main window is not the skin's size at the scale");
    QVERIFY(near(main.x(), 100) && near(main.y(), 80));
    // The playlist window beside it, not over it, on the screen.
    QVERIFY2(!list.intersects(main), "the playlist window covers the main window");
    QVERIFY(kScreen.contains(list));

    // The playlist button, hit in its middle on the screen, hides the playlist window
    // and shows it again in its place.
    const QPoint button =
        readSkin(skin, initialSkinState())[SkinElement::PlayListSkin].geometry.center();
    const auto click = [&] {
        desktop.xdotool({"mousemove", "--window", run.main,
                         QString::number(qRound(button.x() * ratio)),
                         QString::number(qRound(button.y() * ratio)), "click", "1"});
    };
    click();
    QTRY_VERIFY_WITH_TIMEOUT(desktop.windowNamed(QStringLiteral("^プレイリスト$")).isEmpty(), 5000);
    // Not so soon that the second press makes a double click, which acts once.
    QTest::qWait(800);
    click();
    QTRY_VERIFY_WITH_TIMEOUT(!desktop.windowNamed(QStringLiteral("^プレイリスト$")).isEmpty(),
                             5000);
    QTRY_COMPARE_WITH_TIMEOUT(desktop.geometryOf(run.list), list, 5000);

    // A press on the volume bar 20 pixels below its top, hit on the screen, sets the
    // step that place stands for (the knob's travel measured in logical pixels).
    const SkinState look = readSkin(skin, initialSkinState());
    const QRect bar = look[SkinElement::ChangeVolume].geometry;
    const int travel = (bar.height() - look[SkinElement::VolumeBarSkin].geometry.height()) * 15;
    const int expectedStep = volumeStepForLevel(double(travel - 20 * 15) / travel);
    QVERIFY(expectedStep != Settings().WavVolume);
    desktop.xdotool({"mousemove", "--window", run.main,
                     QString::number(qRound(bar.center().x() * ratio)),
                     QString::number(qRound((bar.y() + 20) * ratio)), "click", "1"});

    // Saved as the spots of the screen the windows are on.
    QVERIFY(end(run));
    auto saved = configEntries(home.filePath("Pelto.cfg"));
    QCOMPARE(saved.value("WavVolume").toInt(), expectedStep);
    QVERIFY(near(saved.value("MainPlayer_X").toInt(), main.x()) &&
            near(saved.value("MainPlayer_Y").toInt(), main.y()));
    QVERIFY(near(saved.value("PlayList_X").toInt(), list.x()) &&
            near(saved.value("PlayList_Y").toInt(), list.y()));

    // Places off the screen (saved on a larger screen): both windows on this one.
    QVERIFY(writeFile(home.filePath("Pelto.cfg"),
                      "[Pelto SaveData Type 2]\r\nMainPlayer_X,3000\r\nMainPlayer_Y,2500\r\n"
                      "PlayList_X,5000\r\nPlayList_Y,4000\r\nPlayList_Visible,1\r\n"));
    Run again;
    QVERIFY2(start(desktop, home.path(), again), "the windows did not show again");
    qInfo() << "from places off the screen: main window" << desktop.geometryOf(again.main)
            << "playlist window" << desktop.geometryOf(again.list);
    QVERIFY(kScreen.contains(desktop.geometryOf(again.main)));
    QVERIFY(kScreen.contains(desktop.geometryOf(again.list)));
    QVERIFY(end(again));
}

QTEST_GUILESS_MAIN(TestScaledScreensX11)
#include "tst_scaled_screens_x11.moc"
