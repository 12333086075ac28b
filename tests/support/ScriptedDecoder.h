#pragma once

#include "audio/Decoder.h"

#include <QHash>
#include <QStringList>

namespace pelto::test {

// A decoder whose files and clock are scripted by the test: which paths open, their
// lengths and tags, and the position, which moves only when the test advances it. It
// logs every call, so tests can check the order the player drives it in.
class ScriptedDecoder : public Decoder {
public:
    // events, when given, also receives "open", "stop", "close" and "free" (on
    // destruction), interleaved with the other parts' steps.
    explicit ScriptedDecoder(QStringList* events = nullptr) : m_events(events) {}
    ~ScriptedDecoder() override;

    struct Song {
        int totalSec = 0;
        ID3TagInfo tag;
    };
    // Files not added here do not open.
    void addSong(const QString& path, int totalSec, const QString& title = {});

    // Moves the playing position forward; past the length the song ends (state 0).
    void advance(int seconds);
    // Ends the current song as if it had played to its end.
    void finish();

    QStringList log;    // "open a.mp3", "play", "stop", ...
    QStringList opened; // paths opened successfully, in order
    std::uint32_t volume = 0xFFFFFFFF;
    PlayState stateNow() const { return m_state; }
    int positionNow() const { return m_pos; }

    bool open(const QString& path) override;
    void play() override;
    void stop() override;
    void pause() override;
    void restart() override;
    void seek(int seconds) override;
    PlayState state(int& positionSec) override;
    std::int64_t playedMilliseconds() const override { return std::int64_t(m_pos) * 1000; }
    FileInfo fileInfo(const QString& path) override;
    void close() override;
    void setVolume(std::uint32_t leftRight) override;

private:
    void note(const QString& e);
    QStringList* m_events;
    QHash<QString, Song> m_songs;
    QString m_open;
    PlayState m_state = PlayState::Stopped;
    int m_pos = 0;
};

} // namespace pelto::test
