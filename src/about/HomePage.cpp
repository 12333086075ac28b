#include "about/HomePage.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

#include <cstdio>

namespace pelto {

QString homePageAddress(const QString& configured, const QString& programFolder,
                        const QString& installedReadme) {
    if (!configured.isEmpty())
        return configured;
    const QString beside = programFolder + QStringLiteral("README.md");
    const QString readme = QFileInfo(beside).isFile() ? beside : installedReadme;
    return QUrl::fromLocalFile(readme).toString();
}

bool openHomePage(const QString& address) {
    if (QDesktopServices::openUrl(QUrl(address)))
        return true;
    static bool said = false;
    if (!said) {
        said = true;
        std::fprintf(stderr, "Pelto: nothing on this desktop opens %s\n",
                     address.toLocal8Bit().constData());
    }
    return false;
}

} // namespace pelto
