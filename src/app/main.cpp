#include "app/CommandLine.h"
#include "app/StartUp.h"
#include "app/TestStateFile.h"
#include "audio/AudioEngine.h"
#include "common/Paths.h"
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
    // A later launch hands its command line to the running copy and ends here, before
    // any window exists or any file is read.
    pelto::MultRunningCheck instance(pelto::instancePlaceFor(pelto::programFolder()));
    if (const auto exitCode = pelto::StartUp(instance, commandLine))
        return *exitCode;
    QApplication app(argc, argv);
    // Launches that arrive while the window loads are held until the load has ended.
    instance.startReceiving();
    QApplication::setApplicationName(QStringLiteral("Pelto"));
    // The main window's unload ends the program, whatever other windows are open.
    QApplication::setQuitOnLastWindowClosed(false);

    pelto::Player player;
    pelto::MainPlayer window(player);
    // The bars, buttons and keys; owned by the window.
    new pelto::MainPlayerControls(window);
    // A termination signal or the end of the session closes the main window the
    // normal way, so its unload writes the configuration and the playlist. Signals
    // that come during the load are handled once it has ended.
    pelto::QuitSignals quitSignals;
    QObject::connect(&quitSignals, &pelto::QuitSignals::quitRequested, &window, &QWidget::close);
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &window, &QWidget::close);
    player.Load(commandLine, [] { return std::make_unique<pelto::AudioEngine>(); });

    // From here later launches add their files and play the first of them, until the
    // main window's close query.
    int handOffs = 0;
    pelto::writeTestStateFile(player, handOffs);
    instance.HookMainWindow(&window, [&](const QString& text) {
        player.adder().AddCommandLine(text, false, true);
        pelto::writeTestStateFile(player, ++handOffs);
    });

    return app.exec();
}
