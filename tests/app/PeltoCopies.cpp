#include "PeltoCopies.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <QtEndian>

void writeWave(const QString& path, int seconds) {
    const quint32 dataSize = quint32(seconds) * 8000 * 2;
    QByteArray header(44, '\0');
    auto put32 = [&](int at, quint32 v) { qToLittleEndian<quint32>(v, header.data() + at); };
    auto put16 = [&](int at, quint16 v) { qToLittleEndian<quint16>(v, header.data() + at); };
    header.replace(0, 4, "RIFF");
    put32(4, 36 + dataSize);
    header.replace(8, 8, "WAVEfmt ");
    put32(16, 16);
    put16(20, 1);
    put16(22, 1);
    put32(24, 8000);
    put32(28, 16000);
    put16(32, 2);
    put16(34, 16);
    header.replace(36, 4, "data");
    put32(40, dataSize);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(header + QByteArray(int(dataSize), '\0'));
}

bool isRunning(QProcess* process) {
    return process->waitForStarted(5000) && process->state() == QProcess::Running;
}

PeltoCopies::PeltoCopies() : PeltoCopies(QStringLiteral(PELTO_BINARY_DIR "/pelto")) {}

PeltoCopies::PeltoCopies(const QString& launcher) : CopyLauncher(launcher) {
    QFile::link(QStringLiteral(PELTO_BINARY_DIR "/skin"), file("skin"));
    writeWave(file("song.wav"), 120);
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
