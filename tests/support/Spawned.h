#pragma once

#include <QList>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace pelto::test {

// The processes a test starts: each dies with the test however it ends (the kernel
// kills it when the test process goes), and whatever still runs at the end of the
// scope is terminated, then killed, last started first.
class Spawned {
public:
    Spawned() = default;
    Spawned(const Spawned&) = delete;
    Spawned& operator=(const Spawned&) = delete;
    ~Spawned();

    // Starts a process and returns at once; it belongs to this object.
    QProcess* start(const QString& program, const QStringList& arguments,
                    const QProcessEnvironment& environment);

    struct Result {
        int exitCode = -1; // -1 when it crashed or did not end in time
        QString out;
        QString err;
    };
    // Runs a short command to its end (killed after timeoutMs).
    static Result run(const QString& program, const QStringList& arguments,
                      const QProcessEnvironment& environment, int timeoutMs = 15000);

    // Starts Xvfb on a free display of its own and returns its name (":N"), empty
    // when it did not come up. `screen` is Xvfb's WIDTHxHEIGHTxDEPTH.
    QString startDisplay(const QProcessEnvironment& environment,
                         const QString& screen = QStringLiteral("800x600x24"));

private:
    QList<QProcess*> m_processes;
};

} // namespace pelto::test
