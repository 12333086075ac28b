#include "player/PlayFailure.h"

#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace pelto {

QString unplayableReason(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("no such file");
    if (!info.isFile())
        return info.isDir() ? QStringLiteral("a folder, not a file")
                            : QStringLiteral("not a regular file");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("cannot be read (%1)").arg(file.errorString());
    return QStringLiteral("not MPEG audio or Wave");
}

void reportUnplayable(const QString& path) {
    const QString line =
        QStringLiteral("Pelto: cannot play %1: %2\n").arg(path, unplayableReason(path));
    std::fputs(line.toLocal8Bit().constData(), stderr);
}

} // namespace pelto
