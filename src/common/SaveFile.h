#pragma once

#include <QByteArray>
#include <QString>

namespace pelto {

// Writes a whole file so that it either replaces the old one completely or not at
// all: the bytes go to a temporary file in the same folder (the target's name followed
// by ".saving." and six random letters or digits), flushed to the disk and renamed over
// the target only when every step succeeded. Any failure (a full disk, a read-only
// folder, an error flushing to the disk) keeps the old file, removes the temporary
// one, prints one line on stderr with the system's reason and gives false.
bool writeFileAtomically(const QString& path, const QByteArray& bytes);

// Removes what saves of `path` left behind when the program ended between creating
// the temporary file and renaming it: regular files of this user in the same folder
// named as writeFileAtomically names its temporary files. Nothing else is touched.
// Call it only where no other save of `path` can be under way.
void removeUnfinishedSaves(const QString& path);

} // namespace pelto
