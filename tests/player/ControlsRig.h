#pragma once

// A real main window with its controls over the real audio engine, the shipped
// standard skin applied, and songs written as Wave files on the spot.
#include "audio/AudioEngine.h"
#include "player/ControlCommands.h"
#include "player/KeyCommands.h"
#include "player/MainPlayer.h"
#include "player/MainPlayerControls.h"
#include "player/Player.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <memory>

namespace pelto::test {

// Every sample of the songs is +16384 or -16384, so a played sample is exactly
// ±0.5 times its channel's gain.
constexpr float kSongLevel = 0.5f;

// Writes a 16-bit stereo Wave file of a square wave at full length.
inline bool writeSquareWave(const QString& path, int seconds, int rate = 8000) {
    const quint32 frames = quint32(seconds * rate);
    const quint32 dataBytes = frames * 4;
    QByteArray out;
    auto u32 = [&out](quint32 v) {
        v = qToLittleEndian(v);
        out.append(reinterpret_cast<const char*>(&v), 4);
    };
    auto u16 = [&out](quint16 v) {
        v = qToLittleEndian(v);
        out.append(reinterpret_cast<const char*>(&v), 2);
    };
    out.append("RIFF");
    u32(36 + dataBytes);
    out.append("WAVEfmt ");
    u32(16);
    u16(1); // PCM
    u16(2);
    u32(quint32(rate));
    u32(quint32(rate) * 4);
    u16(4);
    u16(16);
    out.append("data");
    u32(dataBytes);
    for (quint32 i = 0; i < frames; ++i) {
        const quint16 v = quint16((i / 40) % 2 ? -16384 : 16384);
        u16(v);
        u16(v);
    }
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(out) == out.size();
}

struct ControlsRig {
    Settings settings;
    PlaylistModel playlist;
    Player player{settings, playlist};
    ControlCommands commands{player};
    KeyCommands keys{commands};
    MainPlayer window{player};
    MainPlayerControls* controls = new MainPlayerControls(window, commands, keys);

    ControlsRig() {
        qputenv("PELTO_HOME", PELTO_SOURCE_DIR);
        player.setDecoder(std::make_unique<AudioEngine>());
        player.LoadSkin(true);
        window.show();
    }
    ~ControlsRig() { player.shutdownDecoder(); }

    QWidget* element(SkinElement e) const { return window.element(e); }
    void addRows(const QStringList& paths) {
        for (const QString& p : paths)
            player.adder().AddPlayListItem(p);
    }
    int row() const { return player.playlist().PlayListTrNum(); }
};

} // namespace pelto::test
