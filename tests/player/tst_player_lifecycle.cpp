// The main window's load and unload: the order of their steps, the command line
// against the saved playlist, the skin with its fallback, and what is written at exit.
#include "RecordingParts.h"
#include "ScriptedDecoder.h"
#include "SkinFixture.h"
#include "TestFiles.h"

#include "player/Player.h"
#include "skin/SkinMenu.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace pelto;
using namespace pelto::test;

namespace {

class RecordingSkinMenu : public SkinMenuHost {
public:
    explicit RecordingSkinMenu(QStringList* events) : m_events(events) {}
    QStringList entries;
    int checked = -2;
    void setSkinEntries(const QStringList& captions) override {
        m_events->append(QStringLiteral("setSkinEntries"));
        entries = captions;
    }
    void setCheckedEntry(int index) override { checked = index; }

private:
    QStringList* m_events;
};

struct Program {
    QStringList events;
    Settings settings;
    PlaylistModel playlist;
    Player player{settings, playlist};
    RecordingView view{&events};
    RecordingHooks hooks{&events};
    RecordingSkinMenu menu{&events};
    ScriptedDecoder* decoder = nullptr;
    int volumeApplied = 0;

    Program() {
        player.setView(&view);
        player.setHooks(&hooks);
        player.setSkinMenu(&menu);
        // ApplyVolume places the volume knob, once each time it runs.
        QObject::connect(&player.volumeControl(), &VolumeControl::knobPlaced, [this] {
            ++volumeApplied;
            events << QStringLiteral("ApplyVolume");
        });
    }
    void load(const QString& commandLine = {}, const QStringList& songs = {}) {
        player.Load(commandLine, [this, songs] {
            events << QStringLiteral("startDecoder");
            auto d = std::make_unique<ScriptedDecoder>(&events);
            for (const QString& s : songs)
                d->addSong(s, 100);
            decoder = d.get();
            return d;
        });
    }
};

using pelto::test::readFile;
using pelto::test::writeFile;

} // namespace

class TestPlayerLifecycle : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void loadRunsItsStepsInOrder();
    void savedPlaylistIsRestoredNotPlayed();
    void restoredRowOutsideTheListMarksNothing();
    void withoutSavedPlaylistTheListIsEmpty();
    void commandLineReplacesTheSavedPlaylist();
    void missingSkinFallsBackAtStartOnly();
    void skinLoadWhilePlayingRedrawsTheTexts();
    void unloadRunsItsStepsInOrder();

private:
    QTemporaryDir m_home;
    QString m_m3u;
};

void TestPlayerLifecycle::initTestCase() {
    QVERIFY(m_home.isValid());
    QVERIFY(writeTestSkin(m_home.path()));
    QVERIFY(QDir().mkpath(m_home.filePath("skin/Zeta"))); // listed, but has no _skin.cfg
    qputenv("PELTO_HOME", m_home.path().toLocal8Bit());
    m_m3u = m_home.filePath("Pelto.m3u");
}

void TestPlayerLifecycle::init() {
    QFile::remove(m_m3u);
}

void TestPlayerLifecycle::loadRunsItsStepsInOrder() {
    Program p;
    p.hooks.config = [](Settings& s, PlaylistModel&) { s.PlayList_Visible = -1; };
    p.load();
    QCOMPARE(p.events, (QStringList{"startDecoder", "loadHiddenWindows", "uncheckAlwaysTop",
                                    "setSkinEntries", "LoadConfig", "applySkinState", "ApplyVolume",
                                    "showPlayListWindow", "showMainWindow"}));
    QCOMPARE(p.menu.entries, (QStringList{"standard", "Zeta"}));
    QCOMPARE(p.menu.checked, 0);
    QCOMPARE(p.player.FirstFailedRow(), -1);
    QCOMPARE(p.player.StopRequested(), std::int16_t(0));
    QCOMPARE(p.player.TotalTimePrefix(), QString("/ "));
    // With no song open the load prints none of the texts.
    QVERIFY(p.view.nowTime.isEmpty());
    QVERIFY(p.view.totalTime.isEmpty());
    QVERIFY(p.view.lines[0].text.isEmpty());
}

void TestPlayerLifecycle::savedPlaylistIsRestoredNotPlayed() {
    QVERIFY(writeFile(m_m3u, "a.mp3\r\nb.mp3\r\n/m/a.mp3\r\nb.mp3\r\n"));
    Program p;
    p.hooks.config = [](Settings&, PlaylistModel& list) { list.setPlayListTrNum(4); };
    QSignalSpy scrolls(&p.player.playlist(), &PlaylistModel::scrollToRowRequested);
    p.load({}, {m_home.filePath("a.mp3")});
    QCOMPARE(p.player.playlist().count(), 4);
    QCOMPARE(p.player.playlist().path(1), m_home.filePath("a.mp3"));
    QCOMPARE(p.player.playlist().PlayListTrNum(), 4);
    QVERIFY(p.player.playlist().isHighlighted(4));
    QCOMPARE(scrolls.size(), 1);
    QCOMPARE(scrolls.at(0).at(0).toInt(), 2); // the first row with row 4's path
    QVERIFY(p.decoder->opened.isEmpty());
    QCOMPARE(p.player.PlayState(), int(StateStopped));
}

void TestPlayerLifecycle::restoredRowOutsideTheListMarksNothing() {
    QVERIFY(writeFile(m_m3u, "a.mp3\r\nb.mp3\r\n"));
    Program p;
    p.hooks.config = [](Settings& s, PlaylistModel& list) {
        list.setPlayListTrNum(9);
        s.AutoScrollPlayList = 0;
    };
    p.load();
    QCOMPARE(p.player.playlist().PlayListTrNum(), 9);
    QCOMPARE(p.player.playlist().FindPlayingRow(), 1); // no row is marked
    QVERIFY(!p.player.playlist().isHighlighted(1) && !p.player.playlist().isHighlighted(2));
}

void TestPlayerLifecycle::withoutSavedPlaylistTheListIsEmpty() {
    {
        Program p;
        p.load();
        QCOMPARE(p.player.playlist().count(), 0);
        QCOMPARE(p.player.playlist().PlayListTrNum(), 0);
    }
    QVERIFY(writeFile(m_m3u, "a.mp3\r\n"));
    Program p;
    p.hooks.config = [](Settings& s, PlaylistModel&) { s.SavePlayList = 0; };
    p.load();
    QCOMPARE(p.player.playlist().count(), 0);
    QCOMPARE(p.player.playlist().PlayListTrNum(), 0);
    p.player.Unload();
    QCOMPARE(readFile(m_m3u), QByteArray("a.mp3\r\n")); // not written with SavePlayList 0
}

void TestPlayerLifecycle::commandLineReplacesTheSavedPlaylist() {
    QVERIFY(writeFile(m_m3u, "old.mp3\r\n"));
    Program p;
    p.load("\"/m/with space.mp3\" /m/b.wav /m/readme.txt", {"/m/with space.mp3", "/m/b.wav"});
    QCOMPARE(p.player.playlist().count(), 2);
    QCOMPARE(p.decoder->opened, QStringList{"/m/with space.mp3"});
    QCOMPARE(p.player.DmyFileName(), QString("/m/with space.mp3"));
    QVERIFY(p.player.playlist().isHighlighted(1));
    QVERIFY(p.player.timerInfoActive());
    // The song starts before the window shows.
    QVERIFY(p.events.indexOf("play") < p.events.indexOf("showMainWindow"));
    p.player.Unload();
    QCOMPARE(readFile(m_m3u), QByteArray("/m/with space.mp3\r\n/m/b.wav\r\n"));
}

void TestPlayerLifecycle::missingSkinFallsBackAtStartOnly() {
    Program p;
    p.hooks.config = [](Settings& s, PlaylistModel&) { s.Skin_FilePath = QStringLiteral("Zeta"); };
    p.load();
    QCOMPARE(p.view.skinsApplied, 1);
    QCOMPARE(p.player.settings().Skin_FilePath, QString("standard"));
    QCOMPARE(p.menu.checked, 0);
    QCOMPARE(p.volumeApplied, 1);

    // Chosen later, a skin without a definition changes nothing but the name.
    p.player.settings().Skin_FilePath = QStringLiteral("Zeta");
    p.menu.checked = -2;
    p.player.LoadSkin();
    QCOMPARE(p.view.skinsApplied, 1);
    QCOMPARE(p.menu.checked, -2);
    QCOMPARE(p.volumeApplied, 1);
    QCOMPARE(p.player.settings().Skin_FilePath, QString("standard"));

    // A name in other letter case still finds and checks its skin.
    p.player.settings().Skin_FilePath = QStringLiteral("STANDARD");
    p.player.LoadSkin();
    QCOMPARE(p.view.skinsApplied, 2);
    QCOMPARE(p.menu.checked, 0);
    QCOMPARE(p.volumeApplied, 2);
}

void TestPlayerLifecycle::skinLoadWhilePlayingRedrawsTheTexts() {
    Program p;
    p.load("/m/a.mp3", {"/m/a.mp3"});
    p.decoder->advance(50);
    p.player.TimerInfoTick();
    QCOMPARE(p.view.knobOffset, 750);
    p.view.totalTime.clear();
    p.view.nowTime.clear();
    p.view.knobOffset = -1;
    p.view.seekRange = 3000; // the new skin's time bar is twice as long
    p.player.LoadSkin();
    QCOMPARE(p.view.totalTime, QString("/ 01:40"));
    QCOMPARE(p.view.nowTime, QString("00:50"));
    QCOMPARE(p.view.knobOffset, 1500);
    QCOMPARE(p.player.ScrollWait(), 0);
}

void TestPlayerLifecycle::unloadRunsItsStepsInOrder() {
    Program p;
    p.load("/m/a.mp3", {"/m/a.mp3"});
    p.events.clear();
    p.player.closeQuery();
    p.player.Unload();
    QCOMPARE(p.events, (QStringList{"UnhookMainWindow", "SaveConfig", "setSkinEntries",
                                    "unloadWindows", "stop", "close", "free"}));
    QCOMPARE(p.menu.entries, QStringList{"standard"});
    QCOMPARE(readFile(m_m3u), QByteArray("/m/a.mp3\r\n"));
    QVERIFY(!p.player.decoder());
}

QTEST_GUILESS_MAIN(TestPlayerLifecycle)
#include "tst_player_lifecycle.moc"
