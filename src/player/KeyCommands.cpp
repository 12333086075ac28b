#include "player/KeyCommands.h"

#include <QEvent>
#include <QKeyEvent>

namespace pelto {

namespace {

struct KeyBinding {
    int key;
    Command command;
};

// Letters act when they come up.
constexpr KeyBinding kKeyUp[] = {
    {Qt::Key_Z, Command::PlayBackSound}, {Qt::Key_X, Command::Play},
    {Qt::Key_C, Command::PlayPause},     {Qt::Key_V, Command::PlayStop},
    {Qt::Key_B, Command::PlayNextSound}, {Qt::Key_D, Command::PlaySoundTop},
    {Qt::Key_A, Command::OpenSoundFile}, {Qt::Key_S, Command::AddSound_PlayList}};

// Arrows act when they go down, and again with every repeat while held.
constexpr KeyBinding kKeyDown[] = {{Qt::Key_Up, Command::VolumeUp},
                                   {Qt::Key_Down, Command::VolumeDown},
                                   {Qt::Key_Right, Command::SeekForward},
                                   {Qt::Key_Left, Command::SeekBackward}};

template <size_t N> std::optional<Command> commandOf(const KeyBinding (&bindings)[N], int key) {
    for (const KeyBinding& b : bindings) {
        if (b.key == key)
            return b.command;
    }
    return std::nullopt;
}

bool runIf(ControlCommands& commands, std::optional<Command> command) {
    if (!command)
        return false;
    commands.run(*command);
    return true;
}

} // namespace

std::optional<Command> keyUpCommand(int key) {
    return commandOf(kKeyUp, key);
}

std::optional<Command> keyDownCommand(int key) {
    return commandOf(kKeyDown, key);
}

bool KeyCommands::AllKeyDown(int key) {
    return runIf(m_commands, keyDownCommand(key));
}

bool KeyCommands::AllKeyUp(int key) {
    return runIf(m_commands, keyUpCommand(key));
}

bool KeyCommands::keyEvent(const QKeyEvent& event) {
    if (event.type() == QEvent::KeyPress)
        return AllKeyDown(event.key());
    if (event.type() == QEvent::KeyRelease && !event.isAutoRepeat())
        return AllKeyUp(event.key());
    return false;
}

} // namespace pelto
