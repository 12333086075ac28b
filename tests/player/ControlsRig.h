#pragma once

// A real main window with its controls over the real audio engine, the shipped
// standard skin applied, and songs written as Wave files on the spot.
#include "TestWave.h"
#include "audio/AudioEngine.h"
#include "player/ControlCommands.h"
#include "player/KeyCommands.h"
#include "player/MainPlayer.h"
#include "player/MainPlayerControls.h"
#include "player/Player.h"

#include <QTemporaryDir>

#include <memory>

namespace pelto::test {

// Every sample of the songs is +16384 or -16384, so a played sample is exactly
// ±0.5 times its channel's gain.
constexpr float kSongLevel = 0.5f;

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
