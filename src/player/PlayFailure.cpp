#include "player/PlayFailure.h"

#include "common/FileNames.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pelto {

QString unplayableReason(const QString& path) {
    const QByteArray name = encodeFileName(path);
    struct stat st {};
    if (::stat(name.constData(), &st) != 0)
        return QStringLiteral("no such file");
    if (!S_ISREG(st.st_mode))
        return S_ISDIR(st.st_mode) ? QStringLiteral("a folder, not a file")
                                   : QStringLiteral("not a regular file");
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return QStringLiteral("cannot be read (%1)")
            .arg(QString::fromLocal8Bit(std::strerror(errno)));
    ::close(fd);
    return QStringLiteral("not MPEG audio, Wave, FLAC, Ogg Vorbis or Opus");
}

void reportUnplayable(const QString& path) {
    const QString line =
        QStringLiteral("Pelto: cannot play %1: %2\n").arg(path, unplayableReason(path));
    // The name goes out as the bytes it has on the disk.
    std::fputs(encodeFileName(line).constData(), stderr);
}

} // namespace pelto
