#include "common/FileRead.h"

#include "common/FileNames.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pelto {

namespace {

QString kindOf(mode_t mode) {
    if (S_ISDIR(mode))
        return QStringLiteral("a folder, not a file");
    if (S_ISFIFO(mode))
        return QStringLiteral("a named pipe, not a file");
    if (S_ISSOCK(mode))
        return QStringLiteral("a socket, not a file");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("a device, not a file");
    return QStringLiteral("not a regular file");
}

QString sizeText(std::int64_t bytes) {
    if (bytes >= 1024 * 1024 && bytes % (1024 * 1024) == 0)
        return QStringLiteral("%1 MiB").arg(bytes / (1024 * 1024));
    if (bytes >= 1024 && bytes % 1024 == 0)
        return QStringLiteral("%1 KiB").arg(bytes / 1024);
    return QStringLiteral("%1 bytes").arg(bytes);
}

OpenedFile refused(QString reason, int error = 0) {
    OpenedFile file;
    file.status = FileStatus::Refused;
    file.reason = std::move(reason);
    file.error = error;
    return file;
}

OpenedFile missing() {
    OpenedFile file;
    file.reason = QStringLiteral("no such file");
    return file;
}

} // namespace

QString systemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

OpenedFile openRegularFile(const QString& path) {
    if (path.isEmpty())
        return missing();
    const QByteArray name = encodeFileName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR)
            return missing();
        // A socket cannot be opened at all; name what is there rather than ENXIO.
        struct stat st {};
        if (error == ENXIO && ::stat(name.constData(), &st) == 0 && !S_ISREG(st.st_mode))
            return refused(kindOf(st.st_mode));
        return refused(systemReason(error), error);
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int error = errno;
        ::close(fd);
        return refused(systemReason(error), error);
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        return refused(kindOf(st.st_mode));
    }
    OpenedFile file;
    file.status = FileStatus::Read;
    file.fd = fd;
    file.size = std::int64_t(st.st_size);
    return file;
}

FileContents readWholeFile(const QString& path, std::int64_t maxBytes) {
    FileContents contents;
    const OpenedFile file = openRegularFile(path);
    static_cast<ReadOutcome&>(contents) = file;
    if (file.status != FileStatus::Read)
        return contents;
    const auto refuse = [&](QString reason, int error) {
        ::close(file.fd);
        contents.status = FileStatus::Refused;
        contents.reason = std::move(reason);
        contents.error = error;
        contents.bytes.clear();
        return contents;
    };
    const QString tooLarge = QStringLiteral("larger than %1").arg(sizeText(maxBytes));
    if (file.size > maxBytes)
        return refuse(tooLarge, 0);
    // The size is what the file held at the open; a file that grows meanwhile is read
    // only up to one byte past the bound, which is enough to refuse it.
    QByteArray& bytes = contents.bytes;
    bytes.resize(qsizetype(file.size) + 1);
    std::int64_t done = 0;
    for (;;) {
        if (done == bytes.size()) {
            if (done > maxBytes)
                break;
            bytes.resize(qsizetype(std::min<std::int64_t>(maxBytes + 1, done * 2 + 4096)));
        }
        const ssize_t n = ::read(file.fd, bytes.data() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int error = errno;
            return refuse(systemReason(error), error);
        }
        if (n == 0)
            break;
        done += n;
    }
    if (done > maxBytes)
        return refuse(tooLarge, 0);
    ::close(file.fd);
    bytes.resize(qsizetype(done));
    return contents;
}

QString unreadableText(const ReadOutcome& outcome) {
    return outcome.error ? QStringLiteral("cannot be read (%1)").arg(outcome.reason)
                         : outcome.reason;
}

void reportUnreadFile(const QString& path, const QString& reason, const QString& consequence) {
    QString line = QStringLiteral("Pelto: cannot read %1: %2").arg(path, reason);
    if (!consequence.isEmpty())
        line += QStringLiteral("; ") + consequence;
    line += u'\n';
    std::fputs(encodeFileName(line).constData(), stderr);
}

} // namespace pelto
