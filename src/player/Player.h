#pragma once

#include "audio/Decoder.h"
#include "player/ButtonPress.h"
#include "player/SeekControl.h"
#include "player/SeekKnob.h"
#include "player/VolumeControl.h"
#include "playlist/PlaylistAdder.h"
#include "playlist/PlaylistModel.h"
#include "playlist/RowFactsCache.h"
#include "settings/Settings.h"
#include "skin/SkinState.h"
#include "taginfo/CurrentSong.h"

#include <QObject>
#include <QTimer>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

namespace pelto {

class LifecycleHooks;
class PlayerView;
class SkinMenuHost;

// The player: what is playing and the procedures that start, pause, stop and change
// songs, the refresh timer Timer_Info with the time displays and the scrolling of the
// three information lines, the seek and volume bars' arithmetic, the shared button
// timer, and the skin texts those lines use. Every way of playing (buttons, keys,
// tray menu, playlist window, a drop, a hand-off, the command line) makes a playlist
// row current, sets DmyFileName to its path and calls PlaySound.
//
// The player works on the settings and the playlist model its owner gives it, drives
// the decoder through the Decoder interface and draws through a PlayerView (the main
// window). It never uses widgets, so its rules run in tests with a scripted decoder
// and a recording view. It announces every change others show as a Qt signal, so
// windows and services follow it without polling.
class Player : public QObject {
    Q_OBJECT
public:
    Player(Settings& settings, PlaylistModel& playlist, QObject* parent = nullptr);
    ~Player() override;

    // Wiring. The view must outlive the player's use of it; the hooks default to the
    // behaviour of a start without configuration, tray or playlist window.
    void setView(PlayerView* view) { m_view = view; }
    PlayerView* view() const { return m_view; }
    void setHooks(LifecycleHooks* hooks);
    LifecycleHooks& hooks() const { return *m_hooks; }
    // Takes a decoder already started, for use without Load (Load starts its own); the
    // player owns it until shutdownDecoder().
    void setDecoder(std::unique_ptr<Decoder> decoder) { m_decoder = std::move(decoder); }
    Decoder* decoder() const { return m_decoder.get(); }

    Settings& settings() { return m_settings; }
    const Settings& settings() const { return m_settings; }
    PlaylistModel& playlist() { return m_playlist; }
    const PlaylistModel& playlist() const { return m_playlist; }
    // Adds files to the playlist; the rows it starts playing go through PlaySound.
    PlaylistAdder& adder() { return m_adder; }
    // The pressed moment shared by the skinned buttons of both windows
    // (ButtonClickTimer), also the short pause after a file dialog.
    ButtonPress& buttons() { return m_buttons; }
    VolumeControl& volumeControl() { return m_volume; }
    SeekControl& seekControl() { return m_seek; }

    // Places the volume knob for WavVolume inside the current skin's volume bar and
    // sets the output for it. The skin load runs it after every skin.
    void ApplyVolume();

    // The repeat switch: with it on, the end of the last row goes on with row 1.
    bool repeatOn() const;
    void setRepeat(bool on);

    // Player state.
    const CurrentSong& song() const { return m_song; }
    QString DmyFileName() const { return m_song.DmyFileName; }
    void setDmyFileName(const QString& path) { m_song.DmyFileName = path; }
    int PlayState() const { return m_playState; }
    int PlayPosSec() const { return m_playPosSec; }
    int TotalSec() const { return m_song.TotalSec; }
    std::int16_t StopRequested() const { return m_stopRequested; }
    int FirstFailedRow() const { return m_firstFailedRow; }
    bool timerInfoActive() const { return m_timerInfo.isActive(); }

    // Reads the decoder's state into PlayState and PlayPosSec (the seek controls read
    // the state right after seeking).
    void readState();
    // Sets PlayPosSec (seeking by keys moves it before it seeks).
    void setPlayPosSec(int sec) { m_playPosSec = sec; }
    // After a seek: forces the seek knob to be redrawn, refreshes the time display
    // and announces the jump.
    void afterSeek();

    // The seek knob's refresh state (KnobOffset, SeekDragging).
    SeekKnob& knob() { return m_knob; }
    // Puts the seek knob at the left end of the time bar without touching KnobOffset.
    void knobToLeftEnd();

    // The skin's texts for the information lines and the total time.
    const std::array<QString, 3>& SkinTagInfo() const { return m_skinTagInfo; }
    const QString& SkinTagScroll() const { return m_skinTagScroll; }
    const QString& TotalTimePrefix() const { return m_totalTimePrefix; }
    void setSkinTexts(const std::array<QString, 3>& tagInfo, const QString& tagScroll,
                      const QString& totalTimePrefix);

    // Timer_Info ticks counted towards the next scroll step of the information lines.
    int ScrollWait() const { return m_scrollWait; }
    // The text information line i shows (doubled with the separator when it scrolls).
    const QString& TagInfoData(int i) const { return m_tagInfoData[size_t(i)]; }

    // Stops and releases the decoder and shuts it down (the last step of the unload).
    void shutdownDecoder();

    // The menu that lists the installed skins (the tray's); none until it is wired.
    void setSkinMenu(SkinMenuHost* menu) { m_skinMenu = menu; }
    // The skinned look the main window shows.
    const SkinState& look() const { return m_look; }

    // The main window's load, in order: start the decoder, load the hidden windows,
    // the defaults, the skin list, the configuration and the skin, then the command
    // line (which replaces the playlist and plays) or the saved playlist "Pelto.m3u"
    // (restored and marked, not played), the playlist window if it was visible, and
    // last the main window itself.
    void Load(const QString& commandLine,
              const std::function<std::unique_ptr<Decoder>()>& startDecoder);
    // The close query: stop taking hand-offs.
    void closeQuery();
    // The unload, in order: configuration, "Pelto.m3u" (when SavePlayList is 1), the
    // skin menu entries, the other windows, the decoder.
    void Unload();
    // Applies the skin named by Skin_FilePath. A folder without "_skin.cfg" changes
    // nothing but makes the name "standard"; at start that standard skin is then
    // applied in the same start.
    void LoadSkin(bool atStart = false);
    // Lists the installed skins into the skin menu (once, at load).
    void SetSkinList();

public slots:
    // Plays DmyFileName from its beginning; a file that does not open is skipped and
    // the next row is tried, until a whole run of rows has failed.
    void PlaySound();
    void PlayStop();
    // Pauses a playing song or resumes a paused one.
    void PlayPause();
    // Plays the next row (row 1 after the last when repeat is on).
    void PlayNextSound();
    // Plays the previous row; nothing on row 1.
    void PlayBackSound();
    // The play button: restarts the current row (clamped into the list) from its
    // beginning, or, with an empty playlist, opens files.
    void Play();
    // Makes row n the current row, moves the highlight to it and plays it from its
    // beginning (a double-click in the playlist, play from the top, next and back).
    void playRow(int n);
    // Lets the user choose files, replaces the playlist with them and plays the first.
    void OpenSoundFile();
    // A drop of local files on the main window: replaces the playlist with the audio
    // files and playlists among them and plays the first. A drop that gives no entry
    // leaves the playlist and playback as they were.
    void dropFiles(const QStringList& localPaths);

    // The refresh timer's tick: scroll pacing, position and elapsed time, end of song.
    void TimerInfoTick();
    // Reads state and position, prints the elapsed time and refreshes the seek knob.
    void Timer_Sec();
    // Prints the total time and rebuilds the three information lines for the current
    // song, each at its left edge.
    void BuildInfoLines();

signals:
    // PlayState changed (StateStopped, StatePlaying, StatePaused).
    void playStateChanged(int state);
    // A song opened and began playing from its start: the current row and its path.
    void songStarted(int row, const QString& path);
    // The position moved other than by playing on: a seek, or a stop (to 0).
    void positionJumped(int seconds);
    // The volume step (WavVolume, 0 to 31) changed.
    void volumeChanged(int step);
    void repeatChanged(bool on);
    // PlayListTrNum changed.
    void currentRowChanged(int row);
    // The playlist's rows changed in number, order or paths.
    void rowsChanged();

private:
    // One attempt at PlaySound; on failure it moves on through PlayNextSound.
    void playOnce();
    void scrollStep();
    void setPlayState(int state);
    void endOfSongRule();
    // Makes row 1 current and plays it, after the open dialog or a drop filled the list.
    void playFromFirstRow();
    // Makes the current row's path DmyFileName after the row changed, and plays it.
    void playCurrentRow();

    Settings& m_settings;
    PlaylistModel& m_playlist;
    // The rows files made, kept from one run to the next (beside Pelto.cfg).
    RowFactsCache m_rowFacts;
    PlaylistAdder m_adder{m_playlist, m_rowFacts.reader()};
    std::unique_ptr<Decoder> m_decoder;
    PlayerView* m_view = nullptr;
    std::unique_ptr<LifecycleHooks> m_defaultHooks;
    LifecycleHooks* m_hooks = nullptr;
    ButtonPress m_buttons;
    VolumeControl m_volume;
    SeekControl m_seek{*this};
    int m_announcedVolume = -1;
    SkinMenuHost* m_skinMenu = nullptr;
    QStringList m_skinEntries;
    SkinState m_look;

    CurrentSong m_song;
    int m_playState = StateStopped;
    int m_playPosSec = 0;
    std::int16_t m_stopRequested = 0;
    int m_firstFailedRow = -1;
    SeekKnob m_knob;
    QTimer m_timerInfo;

    std::array<QString, 3> m_skinTagInfo;
    QString m_skinTagScroll;
    QString m_totalTimePrefix;
    std::array<QString, 3> m_tagInfoData;
    std::array<int, 3> m_scrollPos{0, 0, 0};
    std::int16_t m_scrollWait = 0;

    // PlaySound re-entered from a failed open's move to the next row runs after the
    // failed attempt returns instead of nesting, so a long run of unplayable rows
    // does not grow the stack.
    bool m_inFailedOpen = false;
    bool m_playPending = false;
};

} // namespace pelto
