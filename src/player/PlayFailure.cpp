#include "player/PlayFailure.h"

#include "common/FileNames.h"
#include "common/FileRead.h"

#include <cstdio>
#include <unistd.h>

namespace pelto {

QString unplayableReason(const QString& path, const QString& readFailure) {
    if (!readFailure.isEmpty())
        return readFailure;
    const OpenedFile file = openRegularFile(path);
    if (file.status != FileStatus::Read)
        return unreadableText(file);
    ::close(file.fd);
    return QStringLiteral("not MPEG audio, Wave, FLAC, Ogg Vorbis or Opus");
}

void reportUnplayable(const QString& path, const QString& readFailure) {
    const QString line = QStringLiteral("Pelto: cannot play %1: %2\n")
                             .arg(path, unplayableReason(path, readFailure));
    // The name goes out as the bytes it has on the disk.
    std::fputs(encodeFileName(line).constData(), stderr);
}

} // namespace pelto
