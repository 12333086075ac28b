#include "SkinList.h"

#include <QDir>

namespace pelto {

QStringList SetSkinList(const QString& skinRoot) {
    // A folder whose name begins with "." is a skin like any other: the name finds it
    // (skinFolderPath), so the menu lists it too.
    const QStringList folders = QDir(skinRoot).entryList(
        QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
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
