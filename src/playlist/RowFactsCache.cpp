#include "RowFactsCache.h"

#include "common/FileNames.h"
#include "common/SaveFile.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QFile>

#include <algorithm>
#include <ctime>
#include <sys/stat.h>

namespace pelto {

namespace {

const QString kCacheFileName = QStringLiteral("Pelto.rowcache");

// The file's first bytes; the version after them changes with any change of the layout
// below or of what a row holds.
constexpr char kMagic[8] = {'P', 'e', 'l', 't', 'o', 'R', 'o', 'w'};
constexpr quint32 kVersion = 1;
constexpr auto kHash = QCryptographicHash::Md5; // a check against damage, not a seal
constexpr qsizetype kHashSize = 16;
constexpr qsizetype kHeaderSize = sizeof kMagic + sizeof kVersion + kHashSize;
constexpr QDataStream::Version kStreamVersion = QDataStream::Qt_6_0;

// A file whose modification time is this close to now (or later) may still change
// within the same tick of its file system's clock (two seconds on FAT) without its
// stamp changing; it is read again next time rather than kept.
constexpr qint64 kSettleNs = 3'000'000'000;

qint64 nanoseconds(const timespec& t) {
    return qint64(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

bool settled(const FileStamp& stamp) {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return stamp.modifiedNs < nanoseconds(now) - kSettleNs;
}

} // namespace

std::optional<FileStamp> fileStampOf(const QString& path) {
    struct stat st {};
    if (::stat(encodeFileName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return FileStamp{qint64(st.st_size), nanoseconds(st.st_mtim), nanoseconds(st.st_ctim),
                     quint64(st.st_ino)};
}

RowFactsCache::RowFactsCache(RowReader reader, qsizetype maxEntries)
    : m_reader(std::move(reader)), m_maxEntries(maxEntries) {}

PlaylistRow RowFactsCache::row(const QString& path) {
    const std::optional<FileStamp> stamp = fileStampOf(path);
    if (!stamp)
        return m_reader(path);
    {
        QMutexLocker lock(&m_mutex);
        const auto it = m_entries.find(path);
        if (it != m_entries.end() && it->stamp == *stamp) {
            it->usedNow = true;
            const QStringView cells(it->cells);
            return PlaylistRow{cells.first(it->titleLength).toString(),
                               cells.sliced(it->titleLength, it->artistLength).toString(),
                               cells.sliced(it->titleLength + it->artistLength).toString(), path};
        }
    }
    // Read with the stamp taken before: a change while reading shows next time.
    PlaylistRow row = m_reader(path);
    const bool keep = settled(*stamp);
    QMutexLocker lock(&m_mutex);
    if (keep) {
        m_entries.insert(path,
                         Entry{*stamp, row.title + row.artist + row.length,
                               qint32(row.title.size()), qint32(row.artist.size()), -1, true});
        m_changed = true;
    } else if (m_entries.remove(path)) {
        m_changed = true;
    }
    return row;
}

qsizetype RowFactsCache::size() const {
    QMutexLocker lock(&m_mutex);
    return m_entries.size();
}

QString RowFactsCache::fileIn(const QString& settingsFolder) {
    return settingsFolder + kCacheFileName;
}

bool RowFactsCache::load(const QString& file) {
    QFile in(file);
    const bool opened = in.open(QIODevice::ReadOnly);
    const QByteArray bytes = opened ? in.readAll() : QByteArray();
    QMutexLocker lock(&m_mutex);
    m_entries.clear();
    // An unusable file is replaced at the next save, even by an empty cache.
    m_changed = opened && !decode(bytes);
    if (m_changed)
        m_entries.clear();
    return opened && !m_changed;
}

bool RowFactsCache::save(const QString& file) {
    QByteArray bytes;
    {
        QMutexLocker lock(&m_mutex);
        if (!m_changed)
            return true;
        bytes = encode();
    }
    if (!writeFileAtomically(file, bytes))
        return false;
    QMutexLocker lock(&m_mutex);
    m_changed = false;
    return true;
}

QByteArray RowFactsCache::encode() const {
    // The entries used in this run, then the others in the order of the last save
    // (most recently used first), up to the bound.
    QVector<QHash<QString, Entry>::const_iterator> kept;
    kept.reserve(m_entries.size());
    for (auto it = m_entries.cbegin(); it != m_entries.cend(); ++it)
        kept.push_back(it);
    std::stable_sort(kept.begin(), kept.end(), [](const auto& a, const auto& b) {
        if (a->usedNow != b->usedNow)
            return a->usedNow;
        return !a->usedNow && a->loadedAt < b->loadedAt;
    });
    kept.resize(std::min(kept.size(), m_maxEntries));

    QByteArray payload;
    QDataStream out(&payload, QIODevice::WriteOnly);
    out.setVersion(kStreamVersion);
    out << quint32(kept.size());
    for (const auto& it : kept)
        out << it.key() << it->stamp.size << it->stamp.modifiedNs << it->stamp.changedNs
            << it->stamp.inode << it->cells << it->titleLength << it->artistLength;

    QByteArray bytes(kMagic, sizeof kMagic);
    QDataStream header(&bytes, QIODevice::Append);
    header << kVersion;
    bytes += QCryptographicHash::hash(payload, kHash);
    bytes += payload;
    return bytes;
}

bool RowFactsCache::decode(const QByteArray& bytes) {
    if (bytes.size() < kHeaderSize || !bytes.startsWith(QByteArrayView(kMagic, sizeof kMagic)))
        return false;
    QDataStream header(bytes);
    header.skipRawData(sizeof kMagic);
    quint32 version = 0;
    header >> version;
    const QByteArrayView payload = QByteArrayView(bytes).sliced(kHeaderSize);
    if (version != kVersion || QCryptographicHash::hash(payload, kHash) !=
                                   bytes.sliced(kHeaderSize - kHashSize, kHashSize))
        return false;

    QDataStream in(bytes);
    in.setVersion(kStreamVersion);
    in.skipRawData(int(kHeaderSize));
    quint32 count = 0;
    in >> count;
    // Each entry takes more than 40 bytes: a count beyond that is damage.
    if (count > payload.size() / 40)
        return false;
    m_entries.reserve(count);
    for (quint32 i = 0; i < count; ++i) {
        QString path;
        Entry entry;
        in >> path >> entry.stamp.size >> entry.stamp.modifiedNs >> entry.stamp.changedNs >>
            entry.stamp.inode >> entry.cells >> entry.titleLength >> entry.artistLength;
        if (in.status() != QDataStream::Ok || entry.titleLength < 0 || entry.artistLength < 0 ||
            qsizetype(entry.titleLength) + entry.artistLength > entry.cells.size())
            return false;
        entry.loadedAt = qint32(i);
        m_entries.insert(path, entry);
    }
    return in.atEnd();
}

} // namespace pelto
