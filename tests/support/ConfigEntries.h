#pragma once

#include "TestFiles.h"

#include <QMap>
#include <QString>

namespace pelto::test {

// The entries of a Pelto.cfg by key ("key,value" lines); empty when it cannot be read.
inline QMap<QString, QString> configEntries(const QString& path) {
    QMap<QString, QString> entries;
    for (const QByteArray& line : readFile(path).split('\n')) {
        const QString text = QString::fromUtf8(line).trimmed();
        const qsizetype comma = text.indexOf(u',');
        if (comma > 0)
            entries.insert(text.left(comma), text.mid(comma + 1));
    }
    return entries;
}

} // namespace pelto::test
