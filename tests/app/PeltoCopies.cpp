#include "PeltoCopies.h"

#include "TestWave.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

bool isRunning(QProcess* process) {
    return process->waitForStarted(5000) && process->state() == QProcess::Running;
}

PeltoCopies::PeltoCopies() : PeltoCopies(QStringLiteral(PELTO_BINARY_DIR "/pelto")) {}

PeltoCopies::PeltoCopies(const QString& launcher) : CopyLauncher(launcher) {
    QFile::link(QStringLiteral(PELTO_BINARY_DIR "/skin"), file("skin"));
    QVERIFY(pelto::test::writeSilentWave(file("song.wav"), 120));
}

QString PeltoCopies::file(const QString& name) const {
    return QDir(home()).filePath(name);
}

QString PeltoCopies::song(const QString& name) const {
    QFile::link(file("song.wav"), file(name));
    return file(name);
}

PeltoState PeltoCopies::state() const {
    QFile f(statePath());
    PeltoState s;
    if (!f.open(QIODevice::ReadOnly))
        return s;
    const QJsonObject o = QJsonDocument::fromJson(f.readAll()).object();
    s.handOffs = o.value("handOffs").toInt(-1);
    for (const QJsonValue& row : o.value("rows").toArray())
        s.rows.append(row.toString());
    for (const QJsonValue& row : o.value("cells").toArray())
        s.cells.append(row.toVariant().toStringList());
    s.trNum = o.value("PlayListTrNum").toInt();
    s.playState = o.value("PlayState").toInt();
    s.dmyFileName = o.value("DmyFileName").toString();
    return s;
}

PeltoState PeltoCopies::waitForState(int handOffs, int timeoutMs) const {
    const QDeadlineTimer deadline(timeoutMs);
    PeltoState s = state();
    while (s.handOffs < handOffs && !deadline.hasExpired()) {
        QTest::qWait(20);
        s = state();
    }
    return s;
}
