// The main window's load and unload: the order of their steps, the command line
// against the saved playlist, the skin with its fallback, and what is written at exit.
#include "RecordingParts.h"
#include "ScriptedDecoder.h"
#include "SkinFixture.h"
#include "TestFiles.h"

#include "app/Session.h"
#include "player/MainPlayer.h"
#include "playlistwindow/PlayListForm.h"
#include "settings/ConfigFile.h"
#include "tray/TaskTrayForm.h"
#include "tray/TrayMenu.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

using namespace pelto;
using namespace pelto::test;

namespace {

// Logs the moments the main window and the playlist window show.
class ShowLog : public QObject {
public:
    explicit ShowLog(QStringList* events) : m_events(events) { qApp->installEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched->objectName() == u"MainPlayer")
            m_events->append(QStringLiteral("showMainWindow"));
        if (event->type() == QEvent::Show && watched->objectName() == u"PlayListForm")
            m_events->append(QStringLiteral("showPlayListWindow"));
        return false;
    }

private:
    QStringList* m_events;
};

// The running program with a scripted decoder, drawing into a recording view: the
// steps of the load and unload are logged as the parts they reach announce them.
struct Program {
    QStringList events;
    Session session;
    ProgramLogic& logic = session.logic();
    Settings& settings = logic.settings;
    PlaylistModel& playlist = logic.playlist;
    Player& player = logic.player;
    RecordingView view{&events};
    ScriptedDecoder* decoder = nullptr;
    int volumeApplied = 0;
    // The skin menu's entries and its checked entry, as the skin side gives them.
    QStringList entries;
    int checked = -2;
    // What the tray looked like when the skin list came: loaded, "常に手前に表示" off.
    bool hiddenWindowsLoaded = false;
    // The settings as the first skin was applied: Pelto.cfg already read.
    Settings settingsAtSkin;
    ShowLog shown{&events};

    Program() {
        logic.setView(&view);
        QObject::connect(&logic.skins, &SkinControl::skinEntriesChanged,
                         [this](const QStringList& captions) {
                             events << QStringLiteral("setSkinEntries");
                             entries = captions;
                             TaskTrayForm* tray = session.tray();
                             hiddenWindowsLoaded = tray && session.playlistWindow() &&
                                                   !tray->menu().AlwaysTop->isChecked();
                         });
        QObject::connect(&logic.skins, &SkinControl::checkedSkinEntryChanged,
                         [this](int index) { checked = index; });
        QObject::connect(&logic.skins, &SkinControl::skinApplied,
                         [this] { settingsAtSkin = settings; });
        // ApplyVolume places the volume knob, once each time it runs.
        QObject::connect(&logic.volume, &VolumeControl::knobPlaced, [this] {
            ++volumeApplied;
            events << QStringLiteral("ApplyVolume");
        });
    }
    // Pelto.cfg as these settings and this current row write it.
    static void configure(const std::function<void(Settings&)>& change, int row = 1) {
        Settings s;
        change(s);
        QVERIFY(writeFile(configFilePath(qEnvironmentVariable("PELTO_HOME") + u'/'),
                          configText(s, row)));
    }
    void load(const QString& commandLine = {}, const QStringList& songs = {}) {
        session.start(commandLine, [this, songs] {
            events << QStringLiteral("startDecoder");
            if (session.tray())
                events << QStringLiteral("hidden windows before the decoder");
            auto d = std::make_unique<ScriptedDecoder>(&events);
            for (const QString& s : songs)
                d->addSong(s, 100);
            decoder = d.get();
            return d;
        });
    }
    // The main window closed: the close query and the unload.
    void close() { session.mainWindow().close(); }
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
    void aCurrentRowPast32767IsKept();

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
    QFile::remove(configFilePath(m_home.path() + u'/'));
}

void TestPlayerLifecycle::loadRunsItsStepsInOrder() {
    Program::configure([](Settings& s) { s.PlayList_Visible = -1; });
    Program p;
    p.load();
    QCOMPARE(p.events, (QStringList{"startDecoder", "setSkinEntries", "applySkinState",
                                    "ApplyVolume", "showPlayListWindow", "showMainWindow"}));
    // The hidden windows came after the decoder and before the skin list, with the
    // always-on-top mark unchecked; the configuration was read before the skin.
    QVERIFY(p.hiddenWindowsLoaded);
    QCOMPARE(p.settingsAtSkin.PlayList_Visible, std::int16_t(-1));
    QCOMPARE(p.entries, (QStringList{"standard", "Zeta"}));
    QCOMPARE(p.checked, 0);
    QCOMPARE(p.player.FirstFailedRow(), -1);
    QCOMPARE(p.player.StopRequested(), std::int16_t(0));
    QCOMPARE(p.logic.display.TotalTimePrefix(), QString("/ "));
    // With no song open the load prints none of the texts.
    QVERIFY(p.view.nowTime.isEmpty());
    QVERIFY(p.view.totalTime.isEmpty());
    QVERIFY(p.view.lines[0].text.isEmpty());
}

void TestPlayerLifecycle::savedPlaylistIsRestoredNotPlayed() {
    QVERIFY(writeFile(m_m3u, "a.mp3\r\nb.mp3\r\n/m/a.mp3\r\nb.mp3\r\n"));
    Program::configure([](Settings&) {}, 4);
    Program p;
    QSignalSpy scrolls(&p.playlist, &PlaylistModel::scrollToRowRequested);
    p.load({}, {m_home.filePath("a.mp3")});
    QCOMPARE(p.playlist.count(), 4);
    QCOMPARE(p.playlist.path(1), m_home.filePath("a.mp3"));
    QCOMPARE(p.playlist.PlayListTrNum(), 4);
    QVERIFY(p.playlist.isHighlighted(4));
    QCOMPARE(scrolls.size(), 1);
    QCOMPARE(scrolls.at(0).at(0).toInt(), 2); // the first row with row 4's path
    QVERIFY(p.decoder->opened.isEmpty());
    QCOMPARE(p.player.PlayState(), PlayState::Stopped);
}

void TestPlayerLifecycle::restoredRowOutsideTheListMarksNothing() {
    QVERIFY(writeFile(m_m3u, "a.mp3\r\nb.mp3\r\n"));
    Program::configure([](Settings& s) { s.AutoScrollPlayList = 0; }, 9);
    Program p;
    p.load();
    QCOMPARE(p.playlist.PlayListTrNum(), 9);
    QCOMPARE(p.playlist.FindPlayingRow(), 1); // no row is marked
    QVERIFY(!p.playlist.isHighlighted(1) && !p.playlist.isHighlighted(2));
}

void TestPlayerLifecycle::withoutSavedPlaylistTheListIsEmpty() {
    {
        Program p;
        p.load();
        QCOMPARE(p.playlist.count(), 0);
        QCOMPARE(p.playlist.PlayListTrNum(), 0);
    }
    QVERIFY(writeFile(m_m3u, "a.mp3\r\n"));
    Program::configure([](Settings& s) { s.SavePlayList = 0; });
    Program p;
    p.load();
    QCOMPARE(p.playlist.count(), 0);
    QCOMPARE(p.playlist.PlayListTrNum(), 0);
    p.close();
    QCOMPARE(readFile(m_m3u), QByteArray("a.mp3\r\n")); // not written with SavePlayList 0
}

void TestPlayerLifecycle::commandLineReplacesTheSavedPlaylist() {
    QVERIFY(writeFile(m_m3u, "old.mp3\r\n"));
    Program p;
    p.load("\"/m/with space.mp3\" /m/b.wav /m/readme.txt", {"/m/with space.mp3", "/m/b.wav"});
    QCOMPARE(p.playlist.count(), 2);
    QCOMPARE(p.decoder->opened, QStringList{"/m/with space.mp3"});
    QCOMPARE(p.player.DmyFileName(), QString("/m/with space.mp3"));
    QVERIFY(p.playlist.isHighlighted(1));
    QVERIFY(p.player.timerInfoActive());
    // The song starts before the window shows.
    QVERIFY(p.events.indexOf("play") < p.events.indexOf("showMainWindow"));
    p.close();
    QCOMPARE(readFile(m_m3u), QByteArray("/m/with space.mp3\r\n/m/b.wav\r\n"));
}

void TestPlayerLifecycle::missingSkinFallsBackAtStartOnly() {
    Program::configure([](Settings& s) { s.Skin_FilePath = QStringLiteral("Zeta"); });
    Program p;
    p.load();
    QCOMPARE(p.view.skinsApplied, 1);
    QCOMPARE(p.settings.Skin_FilePath, QString("standard"));
    QCOMPARE(p.checked, 0);
    QCOMPARE(p.volumeApplied, 1);

    // Chosen later, a skin without a definition changes nothing but the name.
    p.settings.Skin_FilePath = QStringLiteral("Zeta");
    p.checked = -2;
    p.logic.skins.LoadSkin();
    QCOMPARE(p.view.skinsApplied, 1);
    QCOMPARE(p.checked, -2);
    QCOMPARE(p.volumeApplied, 1);
    QCOMPARE(p.settings.Skin_FilePath, QString("standard"));

    // A name in other letter case still finds and checks its skin.
    p.settings.Skin_FilePath = QStringLiteral("STANDARD");
    p.logic.skins.LoadSkin();
    QCOMPARE(p.view.skinsApplied, 2);
    QCOMPARE(p.checked, 0);
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
    p.logic.skins.LoadSkin();
    QCOMPARE(p.view.totalTime, QString("/ 01:40"));
    QCOMPARE(p.view.nowTime, QString("00:50"));
    QCOMPARE(p.view.knobOffset, 1500);
    QCOMPARE(p.logic.display.ScrollWait(), 0);
}

void TestPlayerLifecycle::unloadRunsItsStepsInOrder() {
    Program p;
    p.load("/m/a.mp3", {"/m/a.mp3"});
    p.events.clear();
    QFile::remove(configFilePath(m_home.path() + u'/'));
    p.close();
    // Pelto.cfg, the skin menu's entries, the windows, the decoder.
    QCOMPARE(p.events, (QStringList{"setSkinEntries", "stop", "close", "free"}));
    QVERIFY(QFile::exists(configFilePath(m_home.path() + u'/')));
    QVERIFY(!p.session.playlistWindow()->isVisible());
    QVERIFY(!p.session.tray()->iconShown());
    QCOMPARE(p.entries, QStringList{"standard"});
    QCOMPARE(readFile(m_m3u), QByteArray("/m/a.mp3\r\n"));
    QVERIFY(!p.player.decoder());
}

// Row 40,000 of a long playlist is current at the next start, and written back whole.
void TestPlayerLifecycle::aCurrentRowPast32767IsKept() {
    QByteArray lines;
    for (int n = 1; n <= 40001; ++n)
        lines += "song" + QByteArray::number(n) + ".mp3\r\n";
    QVERIFY(writeFile(m_m3u, lines));
    Program::configure([](Settings&) {}, 40000);
    Program p;
    p.load();
    QCOMPARE(p.playlist.count(), 40001);
    QCOMPARE(p.playlist.PlayListTrNum(), 40000);
    QVERIFY(p.playlist.isHighlighted(40000));
    p.close();
    QVERIFY(readFile(configFilePath(m_home.path() + u'/')).contains("\r\nPlayListTrNum,40000\r\n"));
}

QTEST_MAIN(TestPlayerLifecycle)
#include "tst_player_lifecycle.moc"
