#include "app/CommandLine.h"
#include "audio/AudioEngine.h"
#include "player/MainPlayer.h"
#include "player/MainPlayerControls.h"
#include "player/Player.h"
#include "player/QuitSignals.h"

#include <QApplication>

namespace {

// A frameless window that places and moves itself needs X; under a Wayland session
// that also offers X, start on xcb unless the user chose a platform.
void preferXcbOnWayland() {
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        return;
    if (qEnvironmentVariableIsSet("WAYLAND_DISPLAY") && qEnvironmentVariableIsSet("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
}

} // namespace

int main(int argc, char* argv[]) {
    preferXcbOnWayland();
    const QString commandLine = pelto::commandLineOf(argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pelto"));
    // The main window's unload ends the program, whatever other windows are open.
    QApplication::setQuitOnLastWindowClosed(false);

    pelto::Player player;
    pelto::MainPlayer window(player);
    // The bars, buttons and keys; owned by the window.
    new pelto::MainPlayerControls(window);
    player.Load(commandLine, [] { return std::make_unique<pelto::AudioEngine>(); });

    // A termination signal or the end of the session closes the main window the
    // normal way, so its unload writes the configuration and the playlist.
    pelto::QuitSignals quitSignals;
    QObject::connect(&quitSignals, &pelto::QuitSignals::quitRequested, &window, &QWidget::close);
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &window, &QWidget::close);

    return app.exec();
}
