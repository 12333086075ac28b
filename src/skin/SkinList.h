#pragma once

#include <QString>
#include <QStringList>

namespace pelto {

// The captions of the skin menu's entries, one per subfolder of skinRoot (names that
// begin with "." included): the folder
// named "standard" (in any letter case, spelled as on disk) first, then every other
// folder in name order, sorted ignoring case. Without a standard folder the folders
// simply follow in name order; without any (or without skinRoot) the list is empty.
QStringList SetSkinList(const QString& skinRoot);

// The entry that carries the check mark for the current skin name: the first caption
// equal to skinName ignoring letter case, or -1 when none is.
int checkedSkinEntry(const QStringList& captions, const QString& skinName);

} // namespace pelto
