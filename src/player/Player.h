#pragma once

#include "audio/Decoder.h"
#include "playlist/PlaylistModel.h"
#include "settings/Settings.h"
#include "taginfo/CurrentSong.h"

#include <QObject>
#include <QTimer>

#include <cstdint>
#include <memory>
#include <optional>

namespace pelto {

// The player: what is playing and the procedures that start, pause, stop and change
// songs, with the refresh timer Timer_Info that notices the end of a song. Every way
// of playing (buttons, keys, tray menu, playlist window, a drop, a hand-off, the
// command line) makes a playlist row current, sets DmyFileName to its path and calls
// PlaySound.
//
// Songs join without a gap: the decoder is told which file follows the current row
// (the same rule as PlayNextSound's), whenever the rows, the current row or the repeat
// switch change; when the audio has gone on into it, Timer_Info runs the end of the
// song as usual, and PlaySound takes the song that already plays instead of opening it.
//
// The player works on the settings and the playlist model its owner gives it and
// drives the decoder through the Decoder interface. It draws nothing: it announces
// every change as a Qt signal, and the displays (the time texts, the information
// lines, the seek knob), the windows and the services follow them.
class Player : public QObject {
    Q_OBJECT
public:
    using State = pelto::PlayState;

    Player(Settings& settings, PlaylistModel& playlist, QObject* parent = nullptr);
    ~Player() override;

    // Takes a decoder already started; the player owns it until shutdownDecoder().
    void setDecoder(std::unique_ptr<Decoder> decoder);
    Decoder* decoder() const { return m_decoder.get(); }
    // Stops and releases the decoder and shuts it down (the last step of the unload).
    void shutdownDecoder();
    // The state a start begins from: no stop asked for, no failed row.
    void resetForLoad();

    // The repeat switch: with it on, the end of the last row goes on with row 1.
    bool repeatOn() const;
    void setRepeat(bool on);

    // Player state.
    const CurrentSong& song() const { return m_song; }
    QString DmyFileName() const { return m_song.DmyFileName; }
    State PlayState() const { return m_playState; }
    int PlayPosSec() const { return m_playPosSec; }
    int TotalSec() const { return m_song.TotalSec; }
    std::int16_t StopRequested() const { return m_stopRequested; }
    int FirstFailedRow() const { return m_firstFailedRow; }
    bool timerInfoActive() const { return m_timerInfo.isActive(); }
    // The position that has been heard, in milliseconds (the whole seconds of
    // PlayPosSec while stopped).
    std::int64_t playedMilliseconds() const;

    // Reads the decoder's state into PlayState and PlayPosSec.
    void readState();
    // Goes on from a second of the song (never before 0); nothing while stopped.
    void seek(int seconds);
    // The output level, low 16 bits left and high 16 bits right.
    void setOutputVolume(std::uint32_t leftRight);

public slots:
    // Plays DmyFileName from its beginning; a file that does not open is skipped and
    // the next row is tried, until a whole run of rows has failed.
    void PlaySound();
    // Makes a path DmyFileName and plays it (what the adder starts).
    void playPath(const QString& path);
    void PlayStop();
    // Pauses a playing song or resumes a paused one.
    void PlayPause();
    // Plays the next row (row 1 after the last when repeat is on).
    void PlayNextSound();
    // Plays the previous row; nothing on row 1.
    void PlayBackSound();
    // The play button: restarts the current row (clamped into the list) from its
    // beginning, or, with an empty playlist, asks for files (openFilesRequested).
    void Play();
    // Makes row n the current row, moves the highlight to it and plays it from its
    // beginning (a double-click in the playlist, play from the top, next and back).
    void playRow(int n);
    // Makes row 1 current and plays it, after the open dialog or a drop filled the list.
    void playFromFirstRow();
    // The refresh timer's tick: scroll pacing, position and elapsed time, end of song.
    void TimerInfoTick();

signals:
    // PlayState changed.
    void playStateChanged(pelto::PlayState state);
    // A song opened and began playing from its start: the current row and its path.
    void songStarted(int row, const QString& path);
    // The position moved other than by playing on: a seek, or a stop (to 0).
    void positionJumped(int seconds);
    void repeatChanged(bool on);
    // PlayListTrNum changed.
    void currentRowChanged(int row);
    // The playlist's rows changed in number, order or paths.
    void rowsChanged();

    // For the displays, at the moments they redraw:
    // a file opened and its facts are in song() (the lines and total time are rebuilt,
    // the seek knob goes home), before it starts playing;
    void songOpened();
    // the seek knob goes back to the left end (a failed open, the end of a song);
    void seekKnobHome();
    // a stop was asked for: the information lines go back to their start;
    void stopping();
    // Timer_Info ticked, before the position is read: the lines' scroll pacing;
    void timerInfoTicked();
    // the position was read on a tick: elapsed time and seek knob;
    void positionRead();
    // the decoder went on from another place: the elapsed time and the seek knob
    // are redrawn wherever they belong.
    void seeked();
    // The play button found the playlist empty.
    void openFilesRequested();

private:
    // One attempt at PlaySound; on failure it moves on through PlayNextSound.
    void playOnce();
    void setPlayState(State state);
    void endOfSongRule();
    // At the end of a song that went on without a gap into the next file.
    void goOnAfterJoin();
    // The file that plays after the current row by the rule PlayNextSound follows.
    QString nextSongPath() const;
    // Tells the decoder that file, when it changed.
    void tellNextSong();
    // Makes the current row's path DmyFileName after the row changed, and plays it.
    void playCurrentRow();

    Settings& m_settings;
    PlaylistModel& m_playlist;
    std::unique_ptr<Decoder> m_decoder;

    CurrentSong m_song;
    State m_playState = State::Stopped;
    int m_playPosSec = 0;
    std::int16_t m_stopRequested = 0;
    int m_firstFailedRow = -1;
    QTimer m_timerInfo;

    // PlaySound re-entered from a failed open's move to the next row runs after the
    // failed attempt returns instead of nesting, so a long run of unplayable rows
    // does not grow the stack.
    bool m_inFailedOpen = false;
    bool m_playPending = false;
    // PlaySound runs for the song the decoder has gone on into: it takes that song
    // instead of opening the file again.
    bool m_joining = false;
    // What the decoder was last told follows; unset when it has not been told since
    // the song opened.
    std::optional<QString> m_toldNext;
};

} // namespace pelto
