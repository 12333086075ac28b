#include "app/InstancePlace.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace pelto {

namespace {

// A folder is private when it is a real folder (not a link) owned by this user that
// nobody else may enter or list.
bool isPrivateFolder(const QString& path) {
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return false;
    return S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & 077) == 0;
}

// The socket's full path must fit a local socket address, with room for the name
// instancePlaceFor puts in the folder ("/pelto-<uid>-<16 hex digits>.sock").
bool fitsSocketAddress(const QString& folder) {
    constexpr qsizetype longestName = 48;
    return QFile::encodeName(folder).size() + longestName <
           qsizetype(sizeof(sockaddr_un::sun_path));
}

bool isUsable(const QString& folder) {
    return !folder.isEmpty() && fitsSocketAddress(folder) && isPrivateFolder(folder);
}

// The shared temporary folder: our own 0700 folder in it, unless someone else got
// there first (a folder of another user, one others may enter, a link).
QString temporaryFolder() {
    const QString path = QDir::tempPath() + QStringLiteral("/pelto-%1").arg(::geteuid());
    if (::mkdir(QFile::encodeName(path).constData(), 0700) != 0 && errno != EEXIST)
        return {};
    return path;
}

// A folder under the user's own cache folder, which only this user can create things
// in. One of ours with a looser mode (made by hand, or under another umask) is
// closed to others first.
QString cacheFolder() {
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (cache.isEmpty() || !QDir().mkpath(cache))
        return {};
    const QString path = cache + QStringLiteral("/pelto");
    const QByteArray native = QFile::encodeName(path);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
        return {};
    struct stat st {};
    if (::lstat(native.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() &&
        (st.st_mode & 077) != 0)
        ::chmod(native.constData(), 0700);
    return path;
}

} // namespace

QString privateRuntimeFolder() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (isUsable(runtime))
        return runtime;
    // Each fallback is made only when the one before it cannot be used.
    for (QString (*make)() : {temporaryFolder, cacheFolder})
        if (const QString folder = make(); isUsable(folder))
            return folder;
    return {};
}

InstancePlace instancePlaceFor(const QString& programFolder) {
    InstancePlace place;
    place.folder = privateRuntimeFolder();
    if (place.folder.isEmpty())
        return place;
    // The same install reached through a link or a trailing "/" is still the same.
    QString canonical = QDir(programFolder).canonicalPath();
    if (canonical.isEmpty())
        canonical = QDir(programFolder).absolutePath();
    const QByteArray hash =
        QCryptographicHash::hash(canonical.toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
    const QString stem =
        place.folder +
        QStringLiteral("/pelto-%1-%2").arg(::geteuid()).arg(QString::fromLatin1(hash));
    place.lockPath = stem + QStringLiteral(".lock");
    place.socketPath = stem + QStringLiteral(".sock");
    return place;
}

} // namespace pelto
