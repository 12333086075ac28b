#include "app/CommandLine.h"
#include "app/Session.h"
#include "app/StartUp.h"
#include "common/Paths.h"

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

    pelto::Session session(&instance);
    session.start(commandLine);
    return app.exec();
}
