#include "ProbeRun.h"

#include "TestChild.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QTest>
#include <QThread>

CopyLauncher::CopyLauncher(const QString& program) : m_program(program) {}

CopyLauncher::~CopyLauncher() {
    for (auto& process : m_processes)
        if (process->state() != QProcess::NotRunning) {
            process->kill();
            process->waitForFinished(5000);
        }
}

pelto::InstancePlace CopyLauncher::place() const {
    return pelto::instancePlaceFor(home());
}

QProcessEnvironment CopyLauncher::environmentWith(const QStringList& extra) const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PELTO_HOME"), home());
    env.insert(QStringLiteral("PROBE_LOG"), logPath());
    for (const QString& pair : extra)
        env.insert(pair.section(u'=', 0, 0), pair.section(u'=', 1));
    return env;
}

QProcess* CopyLauncher::start(const QStringList& arguments, const QStringList& environment) {
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(environmentWith(environment));
    process->setProcessChannelMode(m_keepErrors ? QProcess::ForwardedOutputChannel
                                                : QProcess::ForwardedErrorChannel);
    if (!m_workingFolder.isEmpty())
        process->setWorkingDirectory(m_workingFolder);
    pelto::test::tieToTest(*process);
    process->start(m_program, arguments);
    m_processes.push_back(std::move(process));
    return m_processes.back().get();
}

int CopyLauncher::run(const QStringList& arguments, const QStringList& environment, int timeoutMs) {
    QProcess* process = start(arguments, environment);
    if (!process->waitForFinished(timeoutMs))
        return -1;
    return process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1;
}

QList<QProcess*> CopyLauncher::waitUntilRemaining(const QList<QProcess*>& processes, int remaining,
                                                  int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    QList<QProcess*> running = processes;
    while (running.size() > remaining && !deadline.hasExpired()) {
        QTest::qWait(20);
        running.removeIf([](QProcess* p) { return p->state() == QProcess::NotRunning; });
    }
    return running;
}

QStringList CopyLauncher::logLines() const {
    QFile file(logPath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

bool CopyLauncher::waitForLog(const QString& line, int count, int timeoutMs) const {
    const QDeadlineTimer deadline(timeoutMs);
    while (logLines().count(line) < count) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(10);
    }
    return true;
}
