#include "PeltoInfo.h"

#include "Spawned.h"

#include <QJsonDocument>

namespace pelto::test {

QJsonObject InfoRun::object() const {
    return QJsonDocument::fromJson(out).object();
}

QList<QJsonObject> InfoRun::lines() const {
    QList<QJsonObject> objects;
    for (const QByteArray& line : out.split('\n'))
        if (!line.isEmpty())
            objects.append(QJsonDocument::fromJson(line).object());
    return objects;
}

InfoRun peltoInfo(const QStringList& arguments, int timeoutMs) {
    const Spawned::Result r =
        Spawned::run(QStringLiteral(PELTO_BINARY_DIR "/pelto-info"), arguments,
                     QProcessEnvironment::systemEnvironment(), timeoutMs);
    return {r.exitCode, r.out.toUtf8(), r.err.toUtf8()};
}

} // namespace pelto::test
