#pragma once

// A real main window with its controls over the real audio engine, the shipped
// standard skin applied, and songs written as Wave files on the spot.
#include "TestWave.h"
#include "audio/AudioEngine.h"
#include "player/AddFilesDialog.h"
#include "player/MainPlayer.h"
#include "player/MainPlayerControls.h"
#include "player/ProgramLogic.h"

#include <QTemporaryDir>

#include <memory>

namespace pelto::test {

// Every sample of the songs is +16384 or -16384, so a played sample is exactly
// ±0.5 times its channel's gain.
constexpr float kSongLevel = 0.5f;

struct ControlsRig {
    ProgramLogic logic;
    Settings& settings = logic.settings;
    PlaylistModel& playlist = logic.playlist;
    Player& player = logic.player;
    ControlCommands& commands = logic.commands;
    MainPlayer window;
    MainPlayerControls* controls = new MainPlayerControls(window, commands, logic.keys, logic.seek,
                                                          logic.volume, logic.buttons);

    ControlsRig() {
        qputenv("PELTO_HOME", PELTO_SOURCE_DIR);
        logic.setView(&window);
        // The add dialog over the main window, as the program gives it without a
        // playlist window.
        QObject::connect(&commands, &ControlCommands::addFilesRequested, &window,
                         [this] { AddSound_PlayList(commands, player.DmyFileName(), &window); });
        player.setDecoder(std::make_unique<AudioEngine>());
        logic.skins.LoadSkin(true);
        window.show();
    }
    ~ControlsRig() { player.shutdownDecoder(); }

    QWidget* element(SkinElement e) const { return window.element(e); }
    void addRows(const QStringList& paths) {
        for (const QString& p : paths)
            logic.adder.AddPlayListItem(p);
    }
    int row() const { return playlist.PlayListTrNum(); }
};

} // namespace pelto::test
