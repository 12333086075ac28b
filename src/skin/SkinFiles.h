#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

namespace pelto {

// The folder of the skin named skinName: root + skinName + "/" for the first of the
// skin roots (FilePlaces::skinRoots) that holds it, else in the first root. A saved
// skin name may differ from its folder in letter case (skin names came from systems
// whose file names ignore it), so when a root has no folder of the exact name, its
// first folder whose name equals it ignoring case is taken.
QString skinFolderPath(const QStringList& skinRoots, const QString& skinName);

// The folder that holds every skin: programFolder + "skin/".
QString skinRootPath(const QString& programFolder);

// The path of the file called name inside a skin folder. Skins made on systems whose
// file names ignore letter case ask for "main.bmp" and ship "Main.BMP", so the exact
// name is tried first and then the folder's files are compared ignoring case (the
// first match in name order wins). Empty when there is no such file.
QString findSkinFile(const QString& skinFolder, const QString& name);

// The most a skin's text files (its definition, its description) and each of its
// bitmaps may take; a bitmap of 4096 × 4096 pixels of 32 bits fits.
constexpr std::int64_t kMaxSkinTextBytes = 1024 * 1024;
constexpr std::int64_t kMaxSkinBitmapBytes = 64 * 1024 * 1024;

// The bytes of a file of a skin (a path findSkinFile gave); nullopt when there is none
// (an empty path, nothing there) or it cannot be read, which one line on stderr says.
std::optional<QByteArray> readSkinFile(const QString& path, std::int64_t maxBytes);

// Whether the skin folder holds a definition file "_skin.cfg".
bool hasSkinConfig(const QString& skinFolder);

} // namespace pelto
