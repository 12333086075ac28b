#pragma once

#include "app/InstancePlace.h"

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <vector>

// Real copies of one program started in a fresh program folder (PELTO_HOME in a
// temporary folder), so each test has an install of its own and never meets another.
class CopyLauncher {
public:
    explicit CopyLauncher(const QString& program);
    ~CopyLauncher();

    QString home() const { return m_home.path(); }
    QString logPath() const { return m_home.filePath(QStringLiteral("probe.log")); }
    pelto::InstancePlace place() const;

    // The folder later copies start in (the test's own until set).
    void setWorkingFolder(const QString& folder) { m_workingFolder = folder; }
    // Whether later copies' stderr is kept for the test to read (QProcess's
    // readAllStandardError) instead of being passed on.
    void setKeepErrors(bool keep) { m_keepErrors = keep; }

    // Starts a copy and returns at once; the launcher kills whatever still runs at
    // the end of the test, and a copy dies with the test process however it ends.
    QProcess* start(const QStringList& arguments, const QStringList& environment = {});
    // Runs a copy to its end; returns its exit code, or -1 when it did not end in time.
    int run(const QStringList& arguments, const QStringList& environment = {},
            int timeoutMs = 15000);

    // Waits until all but `remaining` of the processes have ended (or the time is up)
    // and returns those still running.
    static QList<QProcess*> waitUntilRemaining(const QList<QProcess*>& processes, int remaining,
                                               int timeoutMs);

    QStringList logLines() const;
    // Waits until the log holds `line` at least `count` times.
    bool waitForLog(const QString& line, int count = 1, int timeoutMs = 10000) const;

private:
    QProcessEnvironment environmentWith(const QStringList& extra) const;

    QString m_program;
    QTemporaryDir m_home;
    QString m_workingFolder;
    bool m_keepErrors = false;
    std::vector<std::unique_ptr<QProcess>> m_processes;
};
