#include "SkinList.h"

#include <QDir>

#include <algorithm>

namespace pelto {

QStringList SetSkinList(const QStringList& skinRoots) {
    // A folder whose name begins with "." is a skin like any other: the name finds it
    // (skinFolderPath), so the menu lists it too.
    QStringList folders;
    for (const QString& root : skinRoots) {
        const QStringList names = QDir(root).entryList(
            QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
        for (const QString& name : names)
            if (!folders.contains(name, Qt::CaseInsensitive))
                folders.append(name);
    }
    std::stable_sort(folders.begin(), folders.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
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
