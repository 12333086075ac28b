#include "SkinFiles.h"

#include "common/FileRead.h"
#include "common/Paths.h"

#include <QDir>
#include <QFileInfo>

namespace pelto {

QString skinRootPath(const QString& programFolder) {
    return PathSyntax::native().withTrailingSeparator(programFolder) + QStringLiteral("skin/");
}

QString skinFolderPath(const QStringList& skinRoots, const QString& skinName) {
    for (const QString& root : skinRoots) {
        if (skinName.isEmpty() || QFileInfo(root + skinName).isDir())
            return root + skinName + u'/';
        const QStringList folders =
            QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
        for (const QString& folder : folders)
            if (folder.compare(skinName, Qt::CaseInsensitive) == 0)
                return root + folder + u'/';
    }
    return skinRoots.value(0) + skinName + u'/';
}

QString findSkinFile(const QString& skinFolder, const QString& name) {
    if (name.isEmpty())
        return {};
    const QDir dir(skinFolder);
    const QString exact = dir.filePath(name);
    // Whatever stands under the exact name is the file asked for; what is not a file
    // there is refused when it is read, saying so.
    if (QFileInfo::exists(exact))
        return exact;
    const QStringList files = dir.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString& file : files)
        if (file.compare(name, Qt::CaseInsensitive) == 0)
            return dir.filePath(file);
    return {};
}

bool hasSkinConfig(const QString& skinFolder) {
    return !findSkinFile(skinFolder, QStringLiteral("_skin.cfg")).isEmpty();
}

std::optional<QByteArray> readSkinFile(const QString& path, std::int64_t maxBytes) {
    if (path.isEmpty())
        return std::nullopt;
    FileContents file = readWholeFile(path, maxBytes);
    if (file.refused())
        reportUnreadFile(path, file.reason);
    if (file.status != FileStatus::Read)
        return std::nullopt;
    return std::move(file.bytes);
}

} // namespace pelto
