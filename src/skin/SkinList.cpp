#include "SkinList.h"

#include <QDir>

namespace pelto {

QStringList SetSkinList(const QString& skinRoot) {
    const QStringList folders =
        QDir(skinRoot).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    QStringList captions;
    qsizetype standard = -1;
    for (qsizetype i = 0; i < folders.size(); ++i)
        if (folders[i].toLower() == QLatin1String("standard")) {
            standard = i;
            break;
        }
    if (standard >= 0)
        captions.append(folders[standard]);
    for (qsizetype i = 0; i < folders.size(); ++i)
        if (i != standard)
            captions.append(folders[i]);
    return captions;
}

int checkedSkinEntry(const QStringList& captions, const QString& skinName) {
    for (qsizetype i = 0; i < captions.size(); ++i)
        if (captions[i].compare(skinName, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

} // namespace pelto
