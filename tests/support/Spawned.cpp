#include "Spawned.h"

#include "TestChild.h"

#include <QTest>

namespace pelto::test {

Spawned::~Spawned() {
    for (auto it = m_processes.rbegin(); it != m_processes.rend(); ++it) {
        QProcess* p = *it;
        if (p->state() != QProcess::NotRunning) {
            p->terminate();
            if (!p->waitForFinished(5000)) {
                p->kill();
                p->waitForFinished(3000);
            }
        }
        delete p;
    }
}

QProcess* Spawned::start(const QString& program, const QStringList& arguments,
                         const QProcessEnvironment& environment) {
    auto* p = new QProcess;
    p->setProcessEnvironment(environment);
    tieToTest(*p);
    p->start(program, arguments);
    m_processes.append(p);
    return p;
}

Spawned::Result Spawned::run(const QString& program, const QStringList& arguments,
                             const QProcessEnvironment& environment, int timeoutMs) {
    QProcess p;
    p.setProcessEnvironment(environment);
    tieToTest(p);
    p.start(program, arguments);
    Result r;
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished(3000);
    } else if (p.exitStatus() == QProcess::NormalExit) {
        r.exitCode = p.exitCode();
    }
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

QString Spawned::startDisplay(const QProcessEnvironment& environment, const QString& screen) {
    // Xvfb writes its display number once it takes connections.
    QProcess* xvfb =
        start(QStringLiteral("Xvfb"),
              {"-displayfd", "1", "-screen", "0", screen, "-nolisten", "tcp"}, environment);
    if (!xvfb->waitForStarted())
        return {};
    QByteArray number;
    (void)QTest::qWaitFor(
        [&] {
            number += xvfb->readAllStandardOutput();
            return number.contains('\n') || xvfb->state() == QProcess::NotRunning;
        },
        15000);
    number = number.trimmed();
    return number.isEmpty() ? QString() : QStringLiteral(":") + QString::fromLatin1(number);
}

} // namespace pelto::test
