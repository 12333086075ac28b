// A small program that starts like Pelto does (the same entry, lock, hand-off and
// receiving code) but whose main window is a plain object and whose playlist is a
// log file, so tests can start many real copies quickly and read what each received.
//
// Environment:
//   PROBE_LOG        file that gets one line per event: "first <own command line>",
//                    "loaded" (the load ended; held hand-offs follow), "handoff <text>",
//                    "closed" (the main window's close query ran)
//   PROBE_LOAD_MS    how long the load takes; events are processed meanwhile, as the
//                    real load does in its waits
//   PROBE_HANDLE_MS  how long dealing with one hand-off takes (a nested wait)
//   PROBE_LINGER_MS  how long the copy keeps running after its close query
//   PROBE_FIND_MS    how long a later copy looks for a copy that is still starting
// A hand-off whose text is "quit" closes the main window.

#include "app/LaunchArguments.h"
#include "app/StartUp.h"
#include "common/Paths.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

namespace {

int envMs(const char* name, int fallback) {
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok ? value : fallback;
}

void log(const QString& line) {
    QFile file(qEnvironmentVariable("PROBE_LOG"));
    // One append per line: the lines of several copies never interleave.
    if (file.open(QIODevice::WriteOnly | QIODevice::Append))
        file.write((line + u'\n').toUtf8());
}

void wait(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

int main(int argc, char* argv[]) {
    const QString commandLine = pelto::joinCommandLine(pelto::argumentsOf(argc, argv));
    pelto::MultRunningCheck check(pelto::instancePlaceFor(pelto::programFolder()));
    pelto::MultRunningCheck::Timeouts timeouts;
    timeouts.findMs = envMs("PROBE_FIND_MS", timeouts.findMs);
    if (const auto exitCode = pelto::StartUp(check, commandLine, timeouts))
        return *exitCode;

    QCoreApplication app(argc, argv);
    check.startReceiving();
    log(QStringLiteral("first ") + commandLine);
    wait(envMs("PROBE_LOAD_MS", 0));

    log(QStringLiteral("loaded"));
    QObject window;
    const int handleMs = envMs("PROBE_HANDLE_MS", 0);
    const int lingerMs = envMs("PROBE_LINGER_MS", 0);
    check.HookMainWindow(&window, [&](const QString& text) {
        if (handleMs > 0)
            wait(handleMs);
        log(QStringLiteral("handoff ") + text);
        if (text == QLatin1String("quit"))
            QTimer::singleShot(0, &window, [&] {
                QEvent close(QEvent::Close);
                QCoreApplication::sendEvent(&window, &close);
                log(QStringLiteral("closed"));
                QTimer::singleShot(lingerMs, &app, &QCoreApplication::quit);
            });
    });
    return app.exec();
}
