// The main window on the offscreen platform: its identity, the skin it shows, the
// drawing and timing of the scrolling lines, moving by dragging, drops and closing.
#include "RecordingParts.h"
#include "ScriptedDecoder.h"
#include "SkinFixture.h"

#include "app/Session.h"
#include "player/MainPlayer.h"
#include "player/SkinWidgets.h"
#include "player/SoundFileDialog.h"
#include "playlistwindow/PlayListForm.h"

#include <QElapsedTimer>
#include <QMimeData>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace pelto;
using namespace pelto::test;

namespace {

// The running program with a scripted decoder.
struct Window {
    QStringList events;
    Session session;
    ProgramLogic& logic = session.logic();
    PlaylistModel& playlist = logic.playlist;
    Player& player = logic.player;
    MainPlayer& window = session.mainWindow();
    ScriptedDecoder* decoder = nullptr;

    explicit Window(const QString& commandLine = {}) {
        session.start(commandLine, [this] {
            auto d = std::make_unique<ScriptedDecoder>(&events);
            decoder = d.get();
            return d;
        });
    }
    TextBox* box(SkinElement e) const { return window.textBox(e); }
    void playSong(const QString& path, int length, const QString& title) {
        decoder->addSong(path, length, title);
        playlist.appendRow({title, {}, {}, path});
        playlist.setPlayListTrNum(playlist.count());
        player.Play();
    }
};

void sendMouse(QWidget* w, QEvent::Type type, QPoint local, Qt::MouseButton button,
               Qt::MouseButtons buttons) {
    QMouseEvent e(type, QPointF(local), QPointF(w->mapToGlobal(local)), button, buttons,
                  Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
}

} // namespace

class TestMainPlayer : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void identityAndSkin();
    void scrollingLineWrapsSeamlessly();
    void scrollingRunsOnTheRealTimer();
    void draggingMovesTheWindow();
    void dropsOfNothingPlayableChangeNothing();
    void inputIsForwarded();
    void closingRunsTheUnload();
    void openDialogFilters();

private:
    QTemporaryDir m_home;
};

void TestMainPlayer::initTestCase() {
    QVERIFY(m_home.isValid());
    QVERIFY(writeTestSkin(m_home.path()));
    qputenv("PELTO_HOME", m_home.path().toLocal8Bit());
    qRegisterMetaType<QMouseEvent*>();
    qRegisterMetaType<QKeyEvent*>();
}

void TestMainPlayer::init() {
    QFile::remove(m_home.filePath("Pelto.m3u"));
}

void TestMainPlayer::identityAndSkin() {
    MainPlayer bare;
    QCOMPARE(bare.objectName(), QString("MainPlayer"));
    QCOMPARE(bare.windowTitle(), QString("Pelto"));
    QVERIFY(bare.windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(bare.size(), QSize(6, 6));

    Window w;
    QVERIFY(w.window.isVisible());
    QCOMPARE(w.window.size(), QSize(200, 80));
    QCOMPARE(w.window.element(SkinElement::TagInfo0)->geometry(), QRect(10, 10, 100, 16));
    QCOMPARE(w.box(SkinElement::TagInfo0)->foreColor(), QColor(255, 255, 255));
    QCOMPARE(w.box(SkinElement::NowTime)->foreColor(), QColor(255, 0, 0));
    QCOMPARE(w.window.element(SkinElement::PowerSkin)->geometry(), QRect(180, 2, 12, 12));
    // Elements without a section lie outside the window, one pixel large.
    QCOMPARE(w.window.element(SkinElement::PlaySkin)->geometry(), QRect(-10, -10, 1, 1));
    QCOMPARE(w.logic.display.TotalTimePrefix(), QString("/ "));

    // Stacking: later sections above earlier ones, every text area above the surface.
    const QObjectList order = w.window.children();
    auto at = [&](SkinElement e) { return order.indexOf(w.window.element(e)); };
    QVERIFY(at(SkinElement::ChangeTime) > at(SkinElement::TimeBarSkin));
    QVERIFY(at(SkinElement::PowerSkin) > at(SkinElement::ChangeTime));
    QVERIFY(at(SkinElement::MainSkin) < at(SkinElement::TimeBarSkin));
    for (int i = 0; i < kSkinElementCount; ++i)
        if (!isTextArea(SkinElement(i)))
            QVERIFY(at(SkinElement::TagInfo0) > at(SkinElement(i)));
    QVERIFY(at(SkinElement::TotalTime) > at(SkinElement::NowTime));
}

void TestMainPlayer::scrollingLineWrapsSeamlessly() {
    Window w;
    TextBox* line = w.box(SkinElement::TagInfo0);
    const QString title = QStringLiteral("A title much wider than its box ｱｲｳ");
    QVERIFY(line->textWidth(title) > line->width());
    w.playSong("/m/a.mp3", 600, title);
    const QString doubled = title + " ~ " + title + " ~ "; // the skin's separator
    QCOMPARE(line->text(), doubled);
    QCOMPARE(w.box(SkinElement::TotalTime)->text(), QString("/ 10:00"));
    QCOMPARE(w.box(SkinElement::NowTime)->text(), QString("00:00"));

    for (int i = 0; i < 20; ++i)
        w.player.TimerInfoTick();
    QCOMPARE(line->offset(), 0);
    w.player.TimerInfoTick(); // 2.1 s after the start
    QCOMPARE(line->offset(), 10);
    QVERIFY(line->printedTwice());

    // The doubled text printed twice looks the same one doubled width further on,
    // which is where the scroll position wraps.
    const int width = line->textWidth(doubled);
    line->showText(doubled, 0, true);
    const QImage start = line->grab().toImage();
    line->showText(doubled, width, true);
    const QImage wrapped = line->grab().toImage();
    QCOMPARE(wrapped, start);
    line->showText(doubled, 10, true);
    QVERIFY(line->grab().toImage() != start);

    // Steps keep the position inside the doubled width.
    for (int i = 0; i < 7 * (width / 10 + 3); ++i) {
        w.player.TimerInfoTick();
        QVERIFY(line->offset() >= 0 && line->offset() <= width);
    }
}

void TestMainPlayer::scrollingRunsOnTheRealTimer() {
    Window w;
    TextBox* line = w.box(SkinElement::TagInfo0);
    QElapsedTimer clock;
    clock.start();
    w.playSong("/m/a.mp3", 600, QString(60, u'W'));
    QList<qint64> steps;
    QList<int> offsets;
    int last = line->offset();
    while (steps.size() < 3 && clock.elapsed() < 6000) {
        QTest::qWait(10);
        if (line->offset() != last) {
            last = line->offset();
            steps << clock.elapsed();
            offsets << last;
        }
    }
    QCOMPARE(offsets, (QList<int>{10, 20, 30}));
    // 2.1 s to the first step, then 0.7 s apart (with room for a loaded machine).
    QVERIFY2(steps[0] >= 2050 && steps[0] < 2800, qPrintable(QString::number(steps[0])));
    for (int i = 1; i < 3; ++i) {
        const qint64 gap = steps[i] - steps[i - 1];
        QVERIFY2(gap >= 600 && gap < 1000, qPrintable(QString::number(gap)));
    }
}

void TestMainPlayer::draggingMovesTheWindow() {
    Window w;
    w.window.move(100, 100);
    const QPoint start = w.window.pos();
    QWidget* background = w.window.element(SkinElement::MainSkin);
    sendMouse(background, QEvent::MouseButtonPress, {50, 40}, Qt::LeftButton, Qt::LeftButton);
    sendMouse(background, QEvent::MouseMove, {65, 30}, Qt::NoButton, Qt::LeftButton);
    QCOMPARE(w.window.pos(), start + QPoint(15, -10));
    sendMouse(background, QEvent::MouseButtonRelease, {65, 30}, Qt::LeftButton, Qt::NoButton);

    // A move with another button does nothing; a text area drags like the background.
    const QPoint after = w.window.pos();
    sendMouse(background, QEvent::MouseButtonPress, {20, 20}, Qt::RightButton, Qt::RightButton);
    sendMouse(background, QEvent::MouseMove, {40, 40}, Qt::NoButton, Qt::RightButton);
    QCOMPARE(w.window.pos(), after);
    sendMouse(background, QEvent::MouseButtonRelease, {40, 40}, Qt::RightButton, Qt::NoButton);
    QWidget* nowTime = w.window.element(SkinElement::NowTime);
    sendMouse(nowTime, QEvent::MouseButtonPress, {2, 2}, Qt::LeftButton, Qt::LeftButton);
    sendMouse(nowTime, QEvent::MouseMove, {7, 2}, Qt::NoButton, Qt::LeftButton);
    QCOMPARE(w.window.pos(), after + QPoint(5, 0));
}

void TestMainPlayer::dropsOfNothingPlayableChangeNothing() {
    Window w;
    w.playSong("/m/a.mp3", 100, "a");
    auto drop = [&](const QList<QUrl>& urls) {
        QMimeData data;
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QCoreApplication::sendEvent(&w.window, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent e(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&w.window, &e);
    };
    drop({QUrl("https://example.org/song.mp3")});
    drop({QUrl::fromLocalFile("/m/notes.txt")});
    QCOMPARE(w.playlist.count(), 1);
    QVERIFY(w.player.timerInfoActive());

    w.decoder->addSong("/m/b.wav", 10);
    drop({QUrl::fromLocalFile("/m/b.wav"), QUrl("https://example.org/x.mp3")});
    QCOMPARE(w.playlist.count(), 1);
    QCOMPARE(w.player.DmyFileName(), QString("/m/b.wav"));
    QCOMPARE(w.decoder->opened.last(), QString("/m/b.wav"));
}

void TestMainPlayer::inputIsForwarded() {
    Window w;
    QSignalSpy clicks(&w.window, &MainPlayer::elementClicked);
    QSignalSpy presses(&w.window, &MainPlayer::elementPressed);
    QSignalSpy keysDown(&w.window, &MainPlayer::keyDown);
    QSignalSpy keysUp(&w.window, &MainPlayer::keyUp);
    QWidget* power = w.window.element(SkinElement::PowerSkin);
    QTest::mouseClick(power, Qt::LeftButton, {}, QPoint(3, 3));
    QCOMPARE(clicks.size(), 1);
    QCOMPARE(clicks.at(0).at(0).value<SkinElement>(), SkinElement::PowerSkin);
    // A right press is a press but no click; a release outside is no click either.
    QTest::mouseClick(power, Qt::RightButton, {}, QPoint(3, 3));
    sendMouse(power, QEvent::MouseButtonPress, {3, 3}, Qt::LeftButton, Qt::LeftButton);
    sendMouse(power, QEvent::MouseButtonRelease, {40, 3}, Qt::LeftButton, Qt::NoButton);
    QCOMPARE(clicks.size(), 1);
    QCOMPARE(presses.size(), 3);
    // A double click is one press and one click.
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                              QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease})
        sendMouse(power, type, {3, 3}, Qt::LeftButton,
                  type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton);
    QCOMPARE(presses.size(), 4);
    QCOMPARE(clicks.size(), 2);

    QTest::keyPress(&w.window, Qt::Key_Z);
    QTest::keyRelease(&w.window, Qt::Key_Z);
    QCOMPARE(keysDown.size(), 1);
    QCOMPARE(keysUp.size(), 1);
}

void TestMainPlayer::closingRunsTheUnload() {
    Window w;
    w.playSong("/m/a.mp3", 100, "a");
    w.events.clear();
    QVERIFY(w.window.close());
    // Pelto.cfg written, the playlist window gone, then the decoder shut down.
    QCOMPARE(w.events, (QStringList{"stop", "close", "free"}));
    QVERIFY(QFile::exists(m_home.filePath("Pelto.cfg")));
    QVERIFY(!w.session.playlistWindow()->isVisible());
    QVERIFY(!w.player.decoder());
    QFile m3u(m_home.filePath("Pelto.m3u"));
    QVERIFY(m3u.open(QIODevice::ReadOnly));
    QCOMPARE(m3u.readAll(), QByteArray("/m/a.mp3\r\n"));
}

void TestMainPlayer::openDialogFilters() {
    QCOMPARE(
        soundFileFilters(),
        (QStringList{"対応ファイル(*.mp3;*.mp2;*.mp1;*.rmp;*.m3u;*.wav;*.flac;*.ogg;*.oga;*.opus;"
                     "*.m3u8;*.pls) (*.mp3 *.mp2 *.mp1 *.rmp *.m3u *.wav *.flac *.ogg *.oga "
                     "*.opus *.m3u8 *.pls)",
                     "Mpeg Audio(*.mp3;*.mp2;*.mp1;*.rmp) (*.mp3 *.mp2 *.mp1 *.rmp)",
                     "FLAC / Ogg Vorbis / Opus(*.flac;*.ogg;*.oga;*.opus) (*.flac *.ogg *.oga "
                     "*.opus)",
                     "プレイリスト(*.m3u) (*.m3u)", "Wave Audio(*.wav) (*.wav)"}));
}

QTEST_MAIN(TestMainPlayer)
#include "tst_main_player.moc"
