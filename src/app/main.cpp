#include "common/Paths.h"

#include <QApplication>
#include <QWidget>

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
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pelto"));

    QWidget window(nullptr, Qt::FramelessWindowHint);
    window.setWindowTitle(QStringLiteral("Pelto"));
    window.resize(320, 120);
    window.show();
    return app.exec();
}
