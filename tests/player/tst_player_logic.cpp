// The player's rules as a user meets them, driven through a scripted decoder (whose
// files open or fail and whose clock the test moves) and a view without widgets.
#include "RecordingParts.h"
#include "ScriptedDecoder.h"

#include "player/ProgramLogic.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

using namespace pelto;
using namespace pelto::test;

namespace {

struct Rig {
    QStringList events;
    ProgramLogic logic;
    Settings& settings = logic.settings;
    PlaylistModel& playlist = logic.playlist;
    Player& player = logic.player;
    RecordingView view{&events};
    ScriptedDecoder* decoder = nullptr;

    Rig() {
        auto d = std::make_unique<ScriptedDecoder>();
        decoder = d.get();
        player.setDecoder(std::move(d));
        logic.setView(&view);
    }
    // Rows for the paths; each given length makes its file open, -1 makes it fail.
    void rows(const QStringList& paths, const QList<int>& lengths) {
        for (int i = 0; i < paths.size(); ++i) {
            if (lengths[i] >= 0)
                decoder->addSong(paths[i], lengths[i], QStringLiteral("Song %1").arg(i + 1));
            playlist.appendRow({paths[i], {}, {}, paths[i]});
        }
    }
    void playRow(int n) {
        playlist.setPlayListTrNum(n);
        player.Play();
    }
    int current() const { return playlist.PlayListTrNum(); }
    // Moves the song on by some seconds and lets the refresh timer see it.
    void tick(int seconds = 0) {
        decoder->advance(seconds);
        player.TimerInfoTick();
    }
};

const QStringList kThree = {"/m/a.mp3", "/m/b.mp3", "/m/c.mp3"};

} // namespace

class TestPlayerLogic : public QObject {
    Q_OBJECT

private slots:
    void nextAndBackAtBothEnds();
    void endOfSongMovesOnOrStops_data();
    void endOfSongMovesOnOrStops();
    void failuresAreSkippedUntilOnePassFailed_data();
    void failuresAreSkippedUntilOnePassFailed();
    void longRunOfFailuresEndsWithoutNesting();
    void stopHoldsAndPlayRestartsFromZero();
    void pauseFreezesTimeAndScrolling();
    void playClampsTheCurrentRow();
    void playWithEmptyListOpensTheDialog();
    void autoScrollFindsTheFirstRowWithThePath();
    void timeTexts();
    void scrollPacingAndWrap();
    void linesThatFitNeverMove();
    void knobFollowsForwardOnly();
    void dropReplacesPlaylistOnlyWithSomethingToPlay();
    void openDialogReplacesPlaylistAndPlays();
    void announcesEveryChange();
};

void TestPlayerLogic::nextAndBackAtBothEnds() {
    Rig r;
    r.rows(kThree, {10, 10, 10});
    r.playRow(1);
    QCOMPARE(r.decoder->opened, QStringList{"/m/a.mp3"});

    r.player.PlayBackSound(); // row 1: no wrap, nothing happens
    QCOMPARE(r.decoder->opened.size(), 1);
    QCOMPARE(r.current(), 1);

    r.player.PlayNextSound();
    r.player.PlayNextSound();
    QCOMPARE(r.current(), 3);
    QVERIFY(r.playlist.isHighlighted(3));
    QVERIFY(!r.playlist.isHighlighted(2));

    r.player.PlayNextSound(); // last row, repeat off: nothing
    QCOMPARE(r.decoder->opened.size(), 3);
    QCOMPARE(r.current(), 3);
    QCOMPARE(r.player.PlayState(), PlayState::Playing);

    r.player.setRepeat(true);
    r.player.PlayNextSound(); // repeat on: row 1
    QCOMPARE(r.current(), 1);
    QCOMPARE(r.decoder->opened.last(), QString("/m/a.mp3"));
    QVERIFY(r.playlist.isHighlighted(1));
    QVERIFY(!r.playlist.isHighlighted(3));

    r.player.PlayBackSound(); // repeat does not wrap backwards either
    QCOMPARE(r.current(), 1);
    QCOMPARE(r.decoder->opened.size(), 4);

    r.playRow(3);
    r.player.PlayBackSound();
    QCOMPARE(r.current(), 2);
    QCOMPARE(r.player.DmyFileName(), QString("/m/b.mp3"));
}

void TestPlayerLogic::endOfSongMovesOnOrStops_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("repeat");
    QTest::addColumn<QStringList>("openedAfter");
    QTest::newRow("middle row") << 2 << false << QStringList{"/m/b.mp3", "/m/c.mp3"};
    QTest::newRow("last row, repeat off") << 3 << false << QStringList{"/m/c.mp3"};
    QTest::newRow("last row, repeat on") << 3 << true << QStringList{"/m/c.mp3", "/m/a.mp3"};
}

void TestPlayerLogic::endOfSongMovesOnOrStops() {
    QFETCH(int, row);
    QFETCH(bool, repeat);
    QFETCH(QStringList, openedAfter);
    Rig r;
    r.player.setRepeat(repeat);
    r.rows(kThree, {10, 10, 10});
    r.playRow(row);
    r.tick(4);
    QCOMPARE(r.view.knobOffset, 600); // 1500 twips × 4 / 10
    r.tick(7);                        // past the end
    QCOMPARE(r.decoder->opened, openedAfter);
    if (openedAfter.size() == 1) {
        QCOMPARE(r.player.PlayState(), PlayState::Stopped);
        QVERIFY(!r.player.timerInfoActive());
        QCOMPARE(r.view.knobOffset, 0); // back at the left end
        QCOMPARE(r.current(), row);
        r.tick(); // a later tick changes nothing
        QCOMPARE(r.decoder->opened, openedAfter);
    } else {
        QCOMPARE(r.player.PlayState(), PlayState::Playing);
        QVERIFY(r.player.timerInfoActive());
        QCOMPARE(r.view.nowTime, QString("00:00"));
    }
}

void TestPlayerLogic::failuresAreSkippedUntilOnePassFailed_data() {
    QTest::addColumn<QList<int>>("lengths");
    QTest::addColumn<int>("startRow");
    QTest::addColumn<bool>("repeat");
    QTest::addColumn<int>("opens");       // open attempts
    QTest::addColumn<int>("endRow");      // PlayListTrNum afterwards
    QTest::addColumn<int>("firstFailed"); // FirstFailedRow afterwards
    QTest::addColumn<bool>("playing");
    QTest::newRow("all fail, repeat on")
        << QList<int>{-1, -1, -1, -1} << 2 << true << 5 << 2 << -1 << false;
    QTest::newRow("all fail, repeat off")
        << QList<int>{-1, -1, -1, -1} << 2 << false << 3 << 4 << 2 << false;
    QTest::newRow("one fails, next plays")
        << QList<int>{10, -1, 10, 10} << 2 << false << 2 << 3 << -1 << true;
    QTest::newRow("failures wrap to a good row")
        << QList<int>{10, 10, -1, -1} << 3 << true << 3 << 1 << -1 << true;
}

void TestPlayerLogic::failuresAreSkippedUntilOnePassFailed() {
    QFETCH(QList<int>, lengths);
    QFETCH(int, startRow);
    QFETCH(bool, repeat);
    QFETCH(int, opens);
    QFETCH(int, endRow);
    QFETCH(int, firstFailed);
    QFETCH(bool, playing);
    Rig r;
    r.player.setRepeat(repeat);
    r.rows({"/m/1.mp3", "/m/2.mp3", "/m/3.mp3", "/m/4.mp3"}, lengths);
    r.playRow(startRow);
    QCOMPARE(r.decoder->log.filter(QRegularExpression("^open ")).size(), opens);
    QCOMPARE(r.current(), endRow);
    QCOMPARE(r.player.FirstFailedRow(), firstFailed);
    QCOMPARE(r.player.timerInfoActive(), playing);
    QCOMPARE(r.playlist.isHighlighted(endRow), true);
}

void TestPlayerLogic::longRunOfFailuresEndsWithoutNesting() {
    // A large playlist of files that are all gone: one pass, then stopped, without
    // each failure nesting a call inside the previous one.
    Rig r;
    r.player.setRepeat(true);
    const int n = 200000;
    QVector<PlaylistRow> rows;
    for (int i = 0; i < n; ++i)
        rows.append({{}, {}, {}, QStringLiteral("/gone/%1.mp3").arg(i)});
    r.playlist.appendRows(rows);
    r.playRow(1);
    QCOMPARE(r.decoder->log.filter(QRegularExpression("^open ")).size(), n + 1);
    QCOMPARE(r.current(), 1);
    QCOMPARE(r.player.FirstFailedRow(), -1);
    QVERIFY(!r.player.timerInfoActive());
}

void TestPlayerLogic::stopHoldsAndPlayRestartsFromZero() {
    Rig r;
    r.rows(kThree, {30, 30, 30});
    r.playRow(2);
    r.tick(12);
    QCOMPARE(r.view.nowTime, QString("00:12"));
    r.player.PlayPause();
    QCOMPARE(r.decoder->stateNow(), PlayState::Paused);
    r.player.PlayStop();
    QCOMPARE(r.player.StopRequested(), std::int16_t(-1));
    QCOMPARE(r.player.PlayState(), PlayState::Stopped);
    QVERIFY(!r.player.timerInfoActive());
    QCOMPARE(r.view.knobOffset, 0);
    QCOMPARE(r.view.nowTime, QString("00:12")); // the stop tick redraws where it stood
    r.tick();                                   // stopped stays stopped
    QCOMPARE(r.decoder->opened.size(), 1);
    QVERIFY(!r.decoder->log.endsWith("close")); // the file stays open

    r.player.Play();
    QCOMPARE(r.decoder->opened, (QStringList{"/m/b.mp3", "/m/b.mp3"}));
    QCOMPARE(r.view.nowTime, QString("00:00"));
    QCOMPARE(r.player.StopRequested(), std::int16_t(0));
    QVERIFY(r.player.timerInfoActive());

    // Stopping an idle player only sets the flag.
    Rig idle;
    idle.player.PlayStop();
    QCOMPARE(idle.player.StopRequested(), std::int16_t(-1));
    QVERIFY(idle.decoder->log.isEmpty() || !idle.decoder->log.contains("stop"));
}

void TestPlayerLogic::pauseFreezesTimeAndScrolling() {
    Rig r;
    r.settings.UseSkinTag = 0;
    r.rows({"/m/long.mp3"}, {300});
    r.decoder->addSong("/m/long.mp3", 300, QString(40, u'x')); // 240 px > 120 px box
    r.playRow(1);
    for (int i = 0; i < 21; ++i)
        r.tick(i % 10 == 0 ? 1 : 0);
    QCOMPARE(r.view.lines[0].offsetPx, 10);
    const QString time = r.view.nowTime;
    const int wait = r.logic.display.ScrollWait();

    r.player.PlayPause();
    QVERIFY(!r.player.timerInfoActive());
    QTest::qWait(350); // the real timer would have ticked three times
    QCOMPARE(r.view.lines[0].offsetPx, 10);
    QCOMPARE(r.view.nowTime, time);
    QCOMPARE(r.logic.display.ScrollWait(), wait);

    r.player.PlayPause(); // resume: both go on from where they stood
    QVERIFY(r.player.timerInfoActive());
    QCOMPARE(r.decoder->stateNow(), PlayState::Playing);
    for (int i = 0; i < 7; ++i)
        r.tick();
    QCOMPARE(r.view.lines[0].offsetPx, 20);
}

void TestPlayerLogic::playClampsTheCurrentRow() {
    Rig r;
    r.rows(kThree, {10, 10, 10});
    r.playRow(7); // a shortened list restored with an old row number
    QCOMPARE(r.current(), 3);
    QCOMPARE(r.decoder->opened.last(), QString("/m/c.mp3"));
    r.playRow(0);
    QCOMPARE(r.current(), 1);
    QCOMPARE(r.decoder->opened.last(), QString("/m/a.mp3"));
}

void TestPlayerLogic::playWithEmptyListOpensTheDialog() {
    Rig r;
    r.player.Play();
    QCOMPARE(r.view.dialogsShown, 1);
    QVERIFY(r.decoder->opened.isEmpty());
}

void TestPlayerLogic::autoScrollFindsTheFirstRowWithThePath() {
    Rig r;
    r.rows({"/m/a.mp3", "/m/b.mp3", "/m/a.mp3"}, {10, 10, 10});
    QSignalSpy spy(&r.playlist, &PlaylistModel::scrollToRowRequested);
    r.playRow(3);
    QCOMPARE(spy.size(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), 1);

    r.settings.AutoScrollPlayList = 0;
    r.playRow(2);
    QCOMPARE(spy.size(), 1);
}

void TestPlayerLogic::timeTexts() {
    Rig r;
    r.rows({"/m/long.mp3", "/m/unknown.mp3"}, {6005, 0});
    SkinState look;
    look.TotalTimePrefix = QStringLiteral("/ ");
    r.logic.display.applySkin(look);
    r.playRow(1);
    QCOMPARE(r.view.totalTime, QString("/ 100:05"));
    QCOMPARE(r.view.nowTime, QString("00:00"));
    r.tick(65);
    QCOMPARE(r.view.nowTime, QString("01:05"));
    r.tick(6000 - 65);
    QCOMPARE(r.view.nowTime, QString("100:00"));
    r.playRow(2);
    QCOMPARE(r.view.totalTime, QString("/ 00:00"));
}

void TestPlayerLogic::scrollPacingAndWrap() {
    Rig r;
    r.settings.UseSkinTag = 0;
    r.settings.TagInfo1 = QStringLiteral("%1");
    r.settings.TagInfoScroll = QStringLiteral("***");
    const QString title(25, u't'); // 150 px in a 120 px box
    r.rows({"/m/a.mp3"}, {600});
    r.decoder->addSong("/m/a.mp3", 600, title);
    r.playRow(1);
    const QString doubled = title + "***" + title + "***";
    QCOMPARE(r.logic.display.TagInfoData(0), doubled);
    QCOMPARE(r.view.lines[0].text, doubled);
    QCOMPARE(r.view.lines[0].offsetPx, 0);
    QCOMPARE(r.view.lines[0].twice, false);

    // PlaySound ran one tick; the first step comes 21 ticks (2.1 s) after the start,
    // then one every 7 ticks (0.7 s).
    QList<int> stepTicks;
    int last = 0;
    const int width = 6 * int(doubled.size()); // 336 px
    int expected = 0;
    bool wrapped = false;
    for (int tick = 2; tick <= 400; ++tick) {
        r.tick();
        const RecordingView::Line& line = r.view.lines[0];
        if (line.offsetPx != last) {
            stepTicks << tick;
            expected += 10;
            if (width - expected < 0) {
                expected -= width;
                wrapped = true;
            }
            QCOMPARE(line.offsetPx, expected);
            QVERIFY(line.twice);
            QVERIFY(line.offsetPx >= 0 && line.offsetPx <= width);
            last = line.offsetPx;
        }
    }
    QCOMPARE(stepTicks.value(0), 22);
    for (int i = 1; i < stepTicks.size(); ++i)
        QCOMPARE(stepTicks[i] - stepTicks[i - 1], 7);
    QVERIFY(wrapped);
}

void TestPlayerLogic::linesThatFitNeverMove() {
    Rig r;
    r.settings.UseSkinTag = 0;
    r.settings.TagInfo1 = QStringLiteral("%1");
    r.rows({"/m/a.mp3"}, {600});
    r.decoder->addSong("/m/a.mp3", 600, QString(20, u'f')); // exactly 120 px
    r.playRow(1);
    QCOMPARE(r.view.lines[0].text, QString(20, u'f'));
    for (int i = 0; i < 60; ++i)
        r.tick();
    QCOMPARE(r.view.lines[0].offsetPx, 0);
    QCOMPARE(r.view.lines[0].twice, false);

    r.view.boxWidth[0] = 119; // one pixel narrower: doubled
    r.logic.display.BuildInfoLines();
    QCOMPARE(r.view.lines[0].text.size(), 2 * (20 + 3));
}

void TestPlayerLogic::knobFollowsForwardOnly() {
    SeekKnob knob;
    // 1500 twips over 300 s: 5 twips a second, so a step of one second is not enough.
    QCOMPARE(knob.refresh(1500, 300, 1), std::nullopt);
    QCOMPARE(knob.refresh(1500, 300, 2), std::optional<int>(10));
    QCOMPARE(knob.refresh(1500, 300, 1), std::nullopt); // never backwards by itself
    QCOMPARE(knob.refresh(1500, 0, 100), std::nullopt); // length 0 never moves it
    knob.SeekDragging = -1;
    QCOMPARE(knob.refresh(1500, 300, 200), std::nullopt);
    knob.SeekDragging = 0;
    knob.KnobOffset = -99; // after a seek the next refresh redraws it
    QCOMPARE(knob.refresh(1500, 300, 0), std::optional<int>(0));
    // 1000 / 3 × 1 = 333.33 rounds to 333; halves go to the even neighbour.
    SeekKnob k2;
    QCOMPARE(k2.refresh(1000, 3, 1), std::optional<int>(333));
    SeekKnob k3;
    QCOMPARE(k3.refresh(25, 2, 1), std::optional<int>(12));
    QCOMPARE(SeekKnob::range(120, 8), 1680);
}

void TestPlayerLogic::dropReplacesPlaylistOnlyWithSomethingToPlay() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString m3u = dir.filePath("list.m3u");
    QFile f(m3u);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("x.mp3\r\n/m/y.wav\r\n");
    f.close();

    Rig r;
    r.rows(kThree, {10, 10, 10});
    r.playRow(2);
    r.logic.commands.dropFiles({"/m/readme.txt", "/m/folder", dir.filePath("empty.m3u")});
    QCOMPARE(r.playlist.count(), 3);
    QCOMPARE(r.current(), 2);
    QCOMPARE(r.decoder->opened.size(), 1);
    QVERIFY(r.player.timerInfoActive());
    r.logic.commands.dropFiles({});
    QCOMPARE(r.playlist.count(), 3);

    r.decoder->addSong("/m/new.MP3", 5);
    r.logic.commands.dropFiles({"/m/notes.txt", "/m/new.MP3", m3u});
    QCOMPARE(r.playlist.count(), 3);
    QCOMPARE(r.playlist.path(1), QString("/m/new.MP3"));
    QCOMPARE(r.playlist.path(2), dir.filePath("x.mp3"));
    QCOMPARE(r.playlist.path(3), QString("/m/y.wav"));
    QCOMPARE(r.current(), 1);
    QVERIFY(r.playlist.isHighlighted(1));
    QCOMPARE(r.decoder->opened.last(), QString("/m/new.MP3"));
}

void TestPlayerLogic::openDialogReplacesPlaylistAndPlays() {
    Rig r;
    r.rows(kThree, {10, 10, 10});
    r.playRow(3);
    r.logic.commands.OpenSoundFile(); // cancelled: nothing changes
    QCOMPARE(r.view.dialogsShown, 1);
    QCOMPARE(r.playlist.count(), 3);
    QCOMPARE(r.current(), 3);

    // Any chosen file becomes a row, whatever its extension.
    r.decoder->addSong("/n/one.mp2", 7);
    r.view.filesToChoose = QStringList{"/n/one.mp2", "/n/two.ogg"};
    r.logic.commands.OpenSoundFile();
    QCOMPARE(r.playlist.count(), 0); // emptied, filled after a short pause
    QTRY_COMPARE(r.playlist.count(), 2);
    QCOMPARE(r.playlist.path(2), QString("/n/two.ogg"));
    QCOMPARE(r.current(), 1);
    QCOMPARE(r.decoder->opened.last(), QString("/n/one.mp2"));
}

// What others follow: each step of a user's session announces exactly what changed,
// once, in the order it happened.
void TestPlayerLogic::announcesEveryChange() {
    Rig r;
    QStringList heard;
    Player& p = r.player;
    QObject::connect(&p, &Player::playStateChanged,
                     [&](PlayState s) { heard << QString("state %1").arg(int(s)); });
    QObject::connect(&p, &Player::songStarted, [&](int row, const QString& path) {
        heard << QString("song %1 %2").arg(row).arg(path);
    });
    QObject::connect(&p, &Player::positionJumped,
                     [&](int s) { heard << QString("jump %1").arg(s); });
    QObject::connect(&r.logic.volume, &VolumeControl::volumeChanged,
                     [&](int s) { heard << QString("volume %1").arg(s); });
    QObject::connect(&p, &Player::repeatChanged,
                     [&](bool on) { heard << QString("repeat %1").arg(on); });
    QObject::connect(&p, &Player::currentRowChanged,
                     [&](int row) { heard << QString("row %1").arg(row); });
    QObject::connect(&p, &Player::rowsChanged, [&] { heard << QString("rows"); });
    const auto step = [&](const std::function<void()>& action) {
        heard.clear();
        action();
        return heard;
    };

    QCOMPARE(step([&] { r.rows(kThree, {10, 10, 10}); }), QStringList({"rows", "rows", "rows"}));
    QCOMPARE(step([&] { r.playRow(1); }), QStringList({"state 1", "song 1 /m/a.mp3"}));
    QCOMPARE(step([&] { r.tick(3); }), QStringList());
    QCOMPARE(step([&] { r.logic.seek.SeekBy(5); }), QStringList({"jump 8"}));
    QCOMPARE(step([&] { p.PlayPause(); }), QStringList({"state 2"}));
    QCOMPARE(step([&] { p.PlayPause(); }), QStringList({"state 1"}));
    QCOMPARE(step([&] { p.PlayNextSound(); }), QStringList({"row 2", "song 2 /m/b.mp3"}));
    QCOMPARE(step([&] { p.setRepeat(true); }), QStringList({"repeat 1"}));
    QCOMPARE(step([&] { p.setRepeat(true); }), QStringList());
    QCOMPARE(step([&] { r.logic.volume.VolumeUp(); }), QStringList({"volume 14"}));
    QCOMPARE(step([&] { r.logic.volume.mouseOnBar(Qt::NoButton, 0); }), QStringList());
    // The last row ends; repeat goes on with row 1.
    p.PlayNextSound();
    QCOMPARE(step([&] {
                 r.decoder->finish();
                 p.TimerInfoTick();
             }),
             QStringList({"state 0", "row 0", "row 1", "state 1", "song 1 /m/a.mp3"}));
    // A stop jumps to wherever the decoder says its stopped song stands.
    QCOMPARE(step([&] {
                 r.tick(4);
                 p.PlayStop();
             }),
             QStringList({"state 0", "jump 4"}));
    QCOMPARE(step([&] { r.playlist.clear(); }), QStringList({"rows"}));
}

QTEST_GUILESS_MAIN(TestPlayerLogic)
#include "tst_player_logic.moc"
