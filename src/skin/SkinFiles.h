#pragma once

#include <QString>

namespace pelto {

// The folder of the skin named skinName: programFolder + "skin/" + skinName + "/".
// A saved skin name may differ from its folder in letter case (skin names came from
// systems whose file names ignore it), so when no folder has the exact name, the first
// folder whose name equals it ignoring case is taken.
QString skinFolderPath(const QString& programFolder, const QString& skinName);

// The folder that holds every skin: programFolder + "skin/".
QString skinRootPath(const QString& programFolder);

// The path of the file called name inside a skin folder. Skins made on systems whose
// file names ignore letter case ask for "main.bmp" and ship "Main.BMP", so the exact
// name is tried first and then the folder's files are compared ignoring case (the
// first match in name order wins). Empty when there is no such file.
QString findSkinFile(const QString& skinFolder, const QString& name);

// Whether the skin folder holds a definition file "_skin.cfg".
bool hasSkinConfig(const QString& skinFolder);

} // namespace pelto
