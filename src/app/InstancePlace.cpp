#include "app/InstancePlace.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>

#include <sys/stat.h>
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

QString fallbackFolder() {
    const QString path = QDir::tempPath() + QStringLiteral("/pelto-%1").arg(::geteuid());
    const QByteArray native = QFile::encodeName(path);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
        return {};
    return isPrivateFolder(path) ? path : QString();
}

} // namespace

QString privateRuntimeFolder() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && isPrivateFolder(runtime))
        return runtime;
    return fallbackFolder();
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
