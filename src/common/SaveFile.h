#pragma once

#include <QByteArray>
#include <QString>

namespace pelto {

// Writes a whole file so that it either replaces the old one completely or not at
// all: the bytes go to a temporary file in the same folder (named after the target
// with six random characters appended), which is flushed to the disk and renamed over
// the target only when every step succeeded. Any failure (a full disk, a read-only
// folder, an error flushing to the disk) keeps the old file, removes the temporary
// one, prints one line on stderr with the system's reason and gives false.
bool writeFileAtomically(const QString& path, const QByteArray& bytes);

} // namespace pelto
