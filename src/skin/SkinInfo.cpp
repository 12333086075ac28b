#include "SkinInfo.h"

#include "SkinFiles.h"
#include "common/LegacyText.h"

namespace pelto {

QString skinInfoText(const QString& skinFolder) {
    QString text = skinFolder + QStringLiteral("\r\n\r\n");
    const QString info = findSkinFile(skinFolder, QStringLiteral("_skininfo.txt"));
    if (const std::optional<QByteArray> bytes = readSkinFile(info, kMaxSkinTextBytes))
        text += decodeLegacyText(*bytes);
    return text;
}

} // namespace pelto
