#pragma once

#include "audio/ID3TagInfo.h"

#include <QString>

#include <cstdint>

namespace pelto {

// Player states as the engine reports them; the numbers are the ones tests and the
// test state file show.
enum class PlayState : int { Stopped = 0, Playing = 1, Paused = 2 };

// The decoder and player the main window drives: one open song at a time, played
// from its beginning, paused, resumed, sought in whole seconds and polled for its
// state. Construction starts the engine and destruction shuts it down. The player
// logic talks only to this interface, so it can be driven by a scripted decoder in
// tests and by the real engine (AudioEngine) in the program.
class Decoder {
public:
    virtual ~Decoder() = default;

    // Opens a file for playing; false when it cannot be played (missing, unreadable,
    // not audio, or nothing decodable).
    virtual bool open(const QString& path) = 0;
    // Why the last open failed when the file could not be read (what the system
    // said: no such file, a named pipe, an I/O error); empty when it read but holds
    // no audio this decoder plays, or when the decoder cannot tell.
    virtual QString openFailure() const { return {}; }
    // Plays the open file from its beginning.
    virtual void play() = 0;
    // Stops playing; the state becomes Stopped. The file stays open.
    virtual void stop() = 0;
    // Pauses; the state becomes Paused.
    virtual void pause() = 0;
    // Resumes a paused song; the state becomes Playing.
    virtual void restart() = 0;
    // Goes on from a position in whole seconds from the start; past the end the
    // song ends.
    virtual void seek(int seconds) = 0;
    // The state (Stopped also once the song has played to its end) and the position
    // that has been heard, in whole seconds.
    virtual PlayState state(int& positionSec) = 0;
    // The position that has been heard, in milliseconds: finer than state() gives it.
    virtual std::int64_t playedMilliseconds() const = 0;
    // Tag and length of any file, open or not.
    virtual FileInfo fileInfo(const QString& path) = 0;
    // Releases the open file.
    virtual void close() = 0;
    // The file that follows the open one (empty for none): a decoder that can goes on
    // into it at the end without a gap. Said again whenever it changes.
    virtual void setNextSong(const QString& path) { (void)path; }
    // The file the heard audio has gone on into at the end of the open song, while it
    // is not taken; empty when none.
    virtual QString joinedSong() const { return {}; }
    // Takes the song joined as the open one, playing on where it is, if it is `path`;
    // false otherwise (the player then opens `path` itself).
    virtual bool takeJoined(const QString& path) {
        (void)path;
        return false;
    }
    // The output volume: the low 16 bits are the left channel's level and the high
    // 16 bits the right channel's, each 0 (silent) to 0xFFFF (full).
    virtual void setVolume(std::uint32_t leftRight) = 0;
};

} // namespace pelto
