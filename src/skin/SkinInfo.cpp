#include "SkinInfo.h"

#include "SkinFiles.h"
#include "common/LegacyText.h"

#include <QFile>

namespace pelto {

QString skinInfoText(const QString& skinFolder) {
    QString text = skinFolder + QStringLiteral("\r\n\r\n");
    QFile file(findSkinFile(skinFolder, QStringLiteral("_skininfo.txt")));
    if (file.open(QIODevice::ReadOnly))
        text += decodeLegacyText(file.readAll());
    return text;
}

} // namespace pelto
