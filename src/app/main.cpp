#include "app/LaunchArguments.h"
#include "app/LaunchRequest.h"
#include "app/QtTranslation.h"
#include "app/RemoteControl.h"
#include "app/Session.h"
#include "app/StartUp.h"
#include "app/TestStateFile.h"
#include "common/FileNames.h"
#include "common/FilePlaces.h"
#include "player/WindowDrag.h"

#include <QApplication>
#include <QDir>
#include <QIcon>

#include <cstdio>

namespace {

// Without a display Qt aborts with a page of advice on platform plugins; say it in one
// line instead. A platform the user chose is left to Qt.
bool displayMissing() {
    return qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
           qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

// The program places its windows itself (the saved places, the playlist window's first
// place beside the main window), which a native Wayland client cannot do. In a Wayland
// session that also offers X it starts on xcb, unless the user chose a platform; this
// must be decided before the application object picks its platform.
void preferXcbOnWayland() {
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        return;
    if (qEnvironmentVariableIsSet("WAYLAND_DISPLAY") && qEnvironmentVariableIsSet("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
}

// Natively on Wayland the compositor alone places the windows and tells the program
// none of their places: said once, so that a user who finds them elsewhere than they
// were left knows why.
void sayWhatWaylandCannotDo() {
    if (!pelto::WindowDrag::clientPlacesWindows())
        std::fputs("Pelto: on Wayland the compositor places the windows: their saved places are "
                   "neither applied nor changed\n",
                   stderr);
}

// The program's icon in every size it is drawn in; the windows and the tray show it.
QIcon programIcon() {
    QIcon icon;
    for (const QFileInfo& size : QDir(QStringLiteral(":/icons")).entryInfoList(QDir::Files))
        icon.addFile(size.filePath());
    return icon;
}

} // namespace

int main(int argc, char* argv[]) {
    const pelto::LaunchRequest request = pelto::readLaunchRequest(pelto::argumentsOf(argc, argv));
    switch (request.kind) {
    case pelto::LaunchRequest::Kind::Help:
        std::fputs(pelto::usageText().toLocal8Bit().constData(), stdout);
        return 0;
    case pelto::LaunchRequest::Kind::Version:
        std::puts(pelto::versionText().toLocal8Bit().constData());
        return 0;
    case pelto::LaunchRequest::Kind::Remote: {
        // Acts on the running copy of these settings and starts none; needs no display.
        pelto::MultRunningCheck running(
            pelto::instancePlaceFor(pelto::filePlaces().settingsFolder));
        return pelto::sendRemoteCommand(running, request.command);
    }
    case pelto::LaunchRequest::Kind::Play:
        break;
    }
    if (displayMissing()) {
        std::fputs("Pelto: no display to show a window on (neither DISPLAY nor WAYLAND_DISPLAY "
                   "is set)\n",
                   stderr);
        return 1;
    }
    preferXcbOnWayland();
    // Names are made absolute against the folder the user launched from before they
    // travel: the running copy that receives them and the playlist files that keep
    // them read them from other folders.
    const QString commandLine =
        pelto::joinCommandLine(pelto::absoluteNames(request.names, pelto::currentFolder()));
    // A later launch hands its command line to the running copy and ends here, before
    // any window exists or any file is read.
    // Copies that share their settings are one program: they meet by the settings folder.
    pelto::MultRunningCheck instance(pelto::instancePlaceFor(pelto::filePlaces().settingsFolder));
    if (const auto exitCode = pelto::StartUp(instance, commandLine))
        return *exitCode;
    QApplication app(argc, argv);
    sayWhatWaylandCannotDo();
    // Launches that arrive while the window loads are held until the load has ended.
    instance.startReceiving();
    QApplication::setApplicationName(QStringLiteral("Pelto"));
    // The desktop entry pelto.desktop names this program to the desktop (Wayland's
    // window matching, the sound menu).
    QApplication::setDesktopFileName(QStringLiteral("pelto"));
    QApplication::setWindowIcon(programIcon());
    pelto::installQtTranslation(app);
    // The main window's unload ends the program, whatever other windows are open.
    QApplication::setQuitOnLastWindowClosed(false);

    pelto::Session session(&instance);
    if (const QString stateFile = qEnvironmentVariable("PELTO_TEST_STATE_FILE");
        !stateFile.isEmpty())
        pelto::watchForTestStateFile(session, stateFile);
    session.start(commandLine);
    session.startMediaPlayerService();
    return app.exec();
}
