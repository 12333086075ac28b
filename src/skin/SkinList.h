#pragma once

#include <QString>
#include <QStringList>

namespace pelto {

// The captions of the skin menu's entries, one per subfolder of the skin roots (names
// that begin with "." included; a name in several roots, ignoring letter case, once,
// as the first root spells it): the folder named "standard" (in any letter case,
// spelled as on disk) first, then every other folder in name order, sorted ignoring
// case. Without a standard folder the folders simply follow in name order; without
// any (or without the roots) the list is empty.
QStringList SetSkinList(const QStringList& skinRoots);

// The entry that carries the check mark for the current skin name: the first caption
// equal to skinName ignoring letter case, or -1 when none is.
int checkedSkinEntry(const QStringList& captions, const QString& skinName);

} // namespace pelto
