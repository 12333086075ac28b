#include "player/KeyCommands.h"

#include <QEvent>
#include <QKeyEvent>

namespace pelto {

std::optional<Command> keyUpCommand(int key) {
    switch (key) {
    case Qt::Key_Z:
        return Command::PlayBackSound;
    case Qt::Key_X:
        return Command::Play;
    case Qt::Key_C:
        return Command::PlayPause;
    case Qt::Key_V:
        return Command::PlayStop;
    case Qt::Key_B:
        return Command::PlayNextSound;
    case Qt::Key_D:
        return Command::PlaySoundTop;
    case Qt::Key_A:
        return Command::OpenSoundFile;
    case Qt::Key_S:
        return Command::AddSound_PlayList;
    default:
        return std::nullopt;
    }
}

std::optional<Command> keyDownCommand(int key) {
    switch (key) {
    case Qt::Key_Up:
        return Command::VolumeUp;
    case Qt::Key_Down:
        return Command::VolumeDown;
    case Qt::Key_Right:
        return Command::SeekForward;
    case Qt::Key_Left:
        return Command::SeekBackward;
    default:
        return std::nullopt;
    }
}

namespace {

bool runIf(ControlCommands& commands, std::optional<Command> command) {
    if (!command)
        return false;
    commands.run(*command);
    return true;
}

} // namespace

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
