// The commands the shell gives the running copy (`pelto --next` and the others), on
// the program's logic with a scripted decoder and a view without widgets: what each
// does in each state, the status it prints, and the names it does not know. The real
// program and the wire are driven in tests/app/tst_pelto_remote.
#include "RecordingParts.h"
#include "ScriptedDecoder.h"

#include "app/LaunchRequest.h"
#include "player/ProgramLogic.h"
#include "player/RemoteCommands.h"

#include <QtTest>

using namespace pelto;
using namespace pelto::test;

namespace {

struct Rig {
    ProgramLogic logic;
    PlaylistModel& playlist = logic.playlist;
    Player& player = logic.player;
    RecordingView view;
    ScriptedDecoder* decoder = nullptr;

    Rig() {
        auto d = std::make_unique<ScriptedDecoder>();
        decoder = d.get();
        player.setDecoder(std::move(d));
        logic.setView(&view);
    }
    // Rows of 100-second songs titled as given.
    void rows(const QStringList& titles) {
        for (const QString& title : titles) {
            const QString path = "/m/" + title + ".mp3";
            decoder->addSong(path, 100);
            playlist.appendRow({title, {}, QStringLiteral("01:40"), path});
        }
    }
    std::optional<QString> run(const QString& name) {
        return runRemoteCommand(name, logic.commands, player, playlist);
    }
    void tick(int seconds) {
        decoder->advance(seconds);
        player.TimerInfoTick();
    }
    PlayState state() const { return player.PlayState(); }
};

} // namespace

class TestRemoteCommands : public QObject {
    Q_OBJECT
private slots:
    void playPauseAndStopFollowTheState() {
        Rig r;
        r.rows({"a", "b", "c"});
        r.playlist.setPlayListTrNum(1);
        // Stopped: play-pause plays the current row (the key X).
        QCOMPARE(r.run("play-pause"), QString());
        QCOMPARE(r.state(), PlayState::Playing);
        QCOMPARE(r.decoder->opened, QStringList{"/m/a.mp3"});
        r.tick(7);
        // Playing: it pauses (C), and resumes where it was.
        QCOMPARE(r.run("play-pause"), QString());
        QCOMPARE(r.state(), PlayState::Paused);
        r.tick(5);
        QCOMPARE(r.player.PlayPosSec(), 7);
        QCOMPARE(r.run("play-pause"), QString());
        QCOMPARE(r.state(), PlayState::Playing);
        QCOMPARE(r.decoder->opened.size(), 1);

        // pause only pauses, play only plays: each again changes nothing.
        QCOMPARE(r.run("pause"), QString());
        QCOMPARE(r.state(), PlayState::Paused);
        QCOMPARE(r.run("pause"), QString());
        QCOMPARE(r.state(), PlayState::Paused);
        QCOMPARE(r.run("play"), QString());
        QCOMPARE(r.state(), PlayState::Playing);
        QCOMPARE(r.decoder->opened.size(), 1); // resumed, not restarted
        QCOMPARE(r.player.PlayPosSec(), 7);
        QCOMPARE(r.run("play"), QString());
        QCOMPARE(r.decoder->opened.size(), 1);

        // stop (V), then play starts the current row again from its beginning (X).
        QCOMPARE(r.run("stop"), QString());
        QCOMPARE(r.state(), PlayState::Stopped);
        QCOMPARE(r.run("pause"), QString());
        QCOMPARE(r.state(), PlayState::Stopped);
        QCOMPARE(r.run("play"), QString());
        QCOMPARE(r.state(), PlayState::Playing);
        QCOMPARE(r.decoder->opened, (QStringList{"/m/a.mp3", "/m/a.mp3"}));
        QCOMPARE(r.player.PlayPosSec(), 0);
    }

    void nextAndPreviousMoveAlongThePlaylist() {
        Rig r;
        r.rows({"a", "b", "c"});
        r.playlist.setPlayListTrNum(1);
        QCOMPARE(r.run("next"), QString()); // B
        QCOMPARE(r.playlist.PlayListTrNum(), 2);
        QCOMPARE(r.player.DmyFileName(), QString("/m/b.mp3"));
        QCOMPARE(r.state(), PlayState::Playing);
        QCOMPARE(r.run("next"), QString());
        QCOMPARE(r.run("next"), QString()); // the last row, repeat off: stays
        QCOMPARE(r.playlist.PlayListTrNum(), 3);
        QCOMPARE(r.run("previous"), QString()); // Z
        QCOMPARE(r.playlist.PlayListTrNum(), 2);
        QCOMPARE(r.player.DmyFileName(), QString("/m/b.mp3"));
        QVERIFY(r.playlist.isHighlighted(2));
        r.player.setRepeat(true);
        QCOMPARE(r.run("next"), QString());
        QCOMPARE(r.run("next"), QString()); // after the last, the first with repeat on
        QCOMPARE(r.playlist.PlayListTrNum(), 1);
    }

    void statusTellsTheStateRowTitleAndPosition() {
        Rig r;
        QCOMPARE(r.run("status"),
                 QString("state: stopped\nrow: 0/0\ntitle: \nposition: 00:00/00:00\n"));
        r.rows({"a", "曲 %1 %2", "c"});
        r.playlist.setPlayListTrNum(2);
        r.player.Play();
        r.tick(65);
        QCOMPARE(r.run("status"),
                 QString("state: playing\nrow: 2/3\ntitle: 曲 %1 %2\nposition: 01:05/01:40\n"));
        QCOMPARE(r.run("pause"), QString());
        QCOMPARE(r.run("status"),
                 QString("state: paused\nrow: 2/3\ntitle: 曲 %1 %2\nposition: 01:05/01:40\n"));
        // Reading the status changes nothing.
        QCOMPARE(r.state(), PlayState::Paused);
        QCOMPARE(r.decoder->opened.size(), 1);
        // A title with line breaks stays on its line.
        r.playlist.appendRow({"two\nlines\r", {}, {}, "/m/x.mp3"});
        r.playlist.setPlayListTrNum(4);
        QVERIFY(r.run("status")->contains("\ntitle: two lines \nposition: "));
    }

    void playWithAnEmptyPlaylistAsksForFilesAfterTheReply() {
        Rig r;
        QCOMPARE(r.run("play"), QString());
        // The dialog, which the key X opens too, waits for the next turn of the loop,
        // so the shell has its answer first.
        QCOMPARE(r.view.dialogsShown, 0);
        QTRY_COMPARE(r.view.dialogsShown, 1);
        QCOMPARE(r.run("play-pause"), QString());
        QTRY_COMPARE(r.view.dialogsShown, 2);
        // next, previous, stop and pause do nothing without rows.
        for (const char* name : {"next", "previous", "stop", "pause"})
            QCOMPARE(r.run(name), QString());
        QTest::qWait(20);
        QCOMPARE(r.view.dialogsShown, 2);
        QCOMPARE(r.state(), PlayState::Stopped);
    }

    void everyOptionOfTheCommandLineIsKnown() {
        Rig r;
        for (const QString& name : remoteCommandNames())
            QVERIFY2(r.run(name), qPrintable(name));
    }

    void unknownNamesAreRefused() {
        Rig r;
        r.rows({"a"});
        for (const char* name : {"", "Play", "--next", "volume-up", "quit", "status "})
            QVERIFY2(!r.run(name), name);
        QCOMPARE(r.state(), PlayState::Stopped);
        QVERIFY(r.decoder->opened.isEmpty());
    }
};

QTEST_MAIN(TestRemoteCommands)
#include "tst_remote_commands.moc"
