#include "common/SaveFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pelto {

namespace {

// The temporary file's name: the target's, then this, whose six X mkostemp replaces
// with letters and digits. The word keeps it apart from any name a user would give.
constexpr char kTempSuffix[] = ".saving.XXXXXX";

bool fail(const QString& path, const char* step, int error) {
    std::fprintf(stderr, "Pelto: cannot write %s (%s): %s\n", qPrintable(path), step,
                 std::strerror(error));
    return false;
}

bool writeAll(int fd, const QByteArray& bytes) {
    const char* p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            return false;
        }
        p += n;
        left -= n;
    }
    return true;
}

// The mode a new file gets: the old file's, or what the umask leaves of rw-rw-rw-.
mode_t modeFor(const QByteArray& target) {
    struct stat st {};
    if (::stat(target.constData(), &st) == 0)
        return st.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

// Written with system calls rather than QSaveFile: Qt 6.4's QSaveFile buffers the
// bytes, writes them inside commit() and renames the temporary file over the target
// even when that write failed (a full disk left an empty file), and it does not flush
// the file to the disk before the rename.
bool writeFileAtomically(const QString& path, const QByteArray& bytes) {
    const QByteArray target = QFile::encodeName(path);
    QByteArray temp = target + kTempSuffix;
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return fail(path, "create", errno);
    const auto abandon = [&](const char* step) {
        const int error = errno;
        ::close(fd);
        ::unlink(temp.constData());
        return fail(path, step, error);
    };
    if (::fchmod(fd, modeFor(target)) != 0)
        return abandon("mode");
    if (!writeAll(fd, bytes))
        return abandon("write");
    if (::fdatasync(fd) != 0)
        return abandon("flush");
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temp.constData());
        return fail(path, "close", error);
    }
    if (::rename(temp.constData(), target.constData()) != 0) {
        const int error = errno;
        ::unlink(temp.constData());
        return fail(path, "rename", error);
    }
    // The rename itself reaches the disk with the folder.
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    const int dir = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

void removeUnfinishedSaves(const QString& path) {
    const QFileInfo target(path);
    const QRegularExpression temporary(
        QRegularExpression::anchoredPattern(QRegularExpression::escape(target.fileName()) +
                                            QStringLiteral("\\.saving\\.[A-Za-z0-9]{6}")));
    const QDir folder = target.absoluteDir();
    const QStringList names = folder.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        if (!temporary.match(name).hasMatch())
            continue;
        const QByteArray file = QFile::encodeName(folder.filePath(name));
        struct stat st {};
        if (::lstat(file.constData(), &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid())
            ::unlink(file.constData());
    }
}

} // namespace pelto
