#pragma once

#include "player/ControlCommands.h"

#include <optional>

class QKeyEvent;

namespace pelto {

// The command of a key coming up (the letter keys) or going down (the arrows), by Qt
// key code; modifiers play no part, so Shift+Z is Z.
std::optional<Command> keyUpCommand(int key);
std::optional<Command> keyDownCommand(int key);

// The keyboard of the main window and its text areas: letters act once when released,
// arrows act on every press including the keyboard's repeats.
class KeyCommands {
public:
    explicit KeyCommands(ControlCommands& commands) : m_commands(commands) {}

    // Run the key's command; false when the key has none.
    bool AllKeyDown(int key);
    bool AllKeyUp(int key);

    // A key press or release event. Releases the keyboard makes while a key is held
    // are not releases of the key and are ignored. True when the event gave a command.
    bool keyEvent(const QKeyEvent& event);

private:
    ControlCommands& m_commands;
};

} // namespace pelto
