#include "player/ProgramLogic.h"

#include "player/PlayerView.h"

namespace pelto {

ProgramLogic::ProgramLogic(QObject* parent) : QObject(parent) {
    connect(&adder, &PlaylistAdder::playRequested, &player, &Player::playPath);
    // A new skin: the window's elements, then the lines and times, then the volume bar.
    connect(&skins, &SkinControl::skinApplied, this, [this](const SkinState& look) {
        if (m_view)
            m_view->applySkinState(look);
    });
    connect(&skins, &SkinControl::skinApplied, &display, &InfoDisplay::applySkin);
    connect(&skins, &SkinControl::skinApplied, &volume, &VolumeControl::applySkin);
}

void ProgramLogic::setView(PlayerView* view) {
    m_view = view;
    display.setView(view);
    commands.setView(view);
}

} // namespace pelto
