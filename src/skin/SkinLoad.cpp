#include "SkinLoad.h"

#include "SkinFiles.h"
#include "SkinReader.h"

namespace pelto {

SkinLoadResult loadSkinState(const QStringList& skinRoots, const QString& skinName,
                             const SkinState& previous, SkinLoadTime when) {
    const QString standard = QStringLiteral("standard");
    SkinLoadResult result;
    QString folder = skinFolderPath(skinRoots, skinName);
    if (hasSkinConfig(folder)) {
        result.skinName = skinName;
    } else {
        result.skinName = standard;
        folder = skinFolderPath(skinRoots, standard);
        if (when == SkinLoadTime::Later || !hasSkinConfig(folder))
            return result;
    }
    result.state = readSkin(folder, previous);
    result.skinFolder = folder;
    return result;
}

} // namespace pelto
