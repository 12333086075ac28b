#include "common/FilePlaces.h"

#include "common/Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <sys/stat.h>
#include <unistd.h>

namespace pelto {

namespace {

// Whether the user may create files in the folder. A folder without any write bit
// counts as read-only for root too, who could write there anyway: an install made
// read-only means it.
bool isWritableFolder(const QString& folder) {
    const QByteArray path = QFile::encodeName(folder);
    struct stat st {};
    return ::stat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & 0222) != 0 &&
           ::access(path.constData(), W_OK) == 0;
}

QString withSlash(const QString& folder) {
    return PathSyntax::native().withTrailingSeparator(folder);
}

} // namespace

FilePlaces filePlacesFor(const QString& programFolder, bool homeGiven, const QString& configHome,
                         const QString& dataHome) {
    const QString folder = withSlash(programFolder);
    const QString ownSkins = folder + QStringLiteral("skin/");
    // The installed skins, where the install puts them relative to the binary.
    const QString installedSkins =
        withSlash(QDir::cleanPath(folder + QStringLiteral(PELTO_SKINS_FROM_BIN)));
    const bool installed =
        !homeGiven && (!isWritableFolder(folder) ||
                       (!QFileInfo(ownSkins).isDir() && QFileInfo(installedSkins).isDir()));
    if (!installed)
        return {folder, {ownSkins}};
    return {withSlash(configHome) + QStringLiteral("pelto/"),
            {withSlash(dataHome) + QStringLiteral("pelto/skin/"), installedSkins}};
}

FilePlaces filePlaces() {
    return filePlacesFor(programFolder(), !qEnvironmentVariableIsEmpty("PELTO_HOME"),
                         QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation),
                         QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
}

} // namespace pelto
