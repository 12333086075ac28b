#pragma once

#include <QFile>
#include <QMap>
#include <QString>

namespace pelto::test {

// The entries of a Pelto.cfg by key ("key,value" lines); empty when it cannot be read.
inline QMap<QString, QString> configEntries(const QString& path) {
    QFile file(path);
    QMap<QString, QString> entries;
    if (!file.open(QIODevice::ReadOnly))
        return entries;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QString text = QString::fromUtf8(line).trimmed();
        const qsizetype comma = text.indexOf(u',');
        if (comma > 0)
            entries.insert(text.left(comma), text.mid(comma + 1));
    }
    return entries;
}

} // namespace pelto::test
