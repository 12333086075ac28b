#include "SkinLoad.h"

#include "SkinFiles.h"
#include "SkinReader.h"

namespace pelto {

SkinLoadResult loadSkinState(const QString& programFolder, const QString& skinName,
                             const SkinState& previous, SkinLoadTime when) {
    const QString standard = QStringLiteral("standard");
    SkinLoadResult result;
    QString folder = skinFolderPath(programFolder, skinName);
    if (hasSkinConfig(folder)) {
        result.skinName = skinName;
    } else {
        result.skinName = standard;
        folder = skinFolderPath(programFolder, standard);
        if (when == SkinLoadTime::Later || !hasSkinConfig(folder))
            return result;
    }
    result.state = readSkin(folder, previous);
    result.skinFolder = folder;
    return result;
}

} // namespace pelto
