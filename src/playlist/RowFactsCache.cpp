#include "RowFactsCache.h"

#include "common/FileNames.h"
#include "common/FileRead.h"
#include "common/SaveFile.h"

#include <QCryptographicHash>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <sys/stat.h>
#include <utility>

namespace pelto {

namespace {

const QString kCacheFileName = QStringLiteral("Pelto.rowcache");

// The file's first bytes; the version after them changes with any change of the layout
// below or of what a row holds. The file is in this machine's byte order: one written
// in the other order shows another version.
constexpr char kMagic[8] = {'P', 'e', 'l', 't', 'o', 'R', 'o', 'w'};
constexpr quint32 kVersion = 2;
constexpr auto kHash = QCryptographicHash::Md5; // a check against damage, not a seal
constexpr qsizetype kHashSize = 16;
constexpr qsizetype kHeaderSize = sizeof kMagic + sizeof kVersion + kHashSize;

// An entry: this head, then the UTF-16 code units of the path, the title, the artist
// and the length text.
struct RecordHead {
    FileStamp stamp;
    quint32 lengths[4] = {}; // path, title, artist, length text
};
static_assert(sizeof(RecordHead) == 48);
// No text of a row comes near this; a longer one is damage.
constexpr quint32 kMaxTextLength = 1 << 20;

// The head of the entry at offset; callers give offsets of whole entries.
RecordHead headAt(const QByteArray& records, qsizetype offset) {
    RecordHead head;
    const QByteArrayView bytes = QByteArrayView(records).sliced(offset);
    if (bytes.size() >= qsizetype(sizeof head))
        std::memcpy(&head, bytes.data(), sizeof head);
    return head;
}

qsizetype recordSize(const RecordHead& head) {
    return qsizetype(sizeof head) +
           2 * (qsizetype(head.lengths[0]) + head.lengths[1] + head.lengths[2] + head.lengths[3]);
}

QByteArrayView unitsOf(const QString& text) {
    return QByteArrayView(reinterpret_cast<const char*>(text.utf16()), 2 * text.size());
}

size_t pathHash(QByteArrayView units) {
    return qHash(units);
}

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

RowFactsCache::Slot* RowFactsCache::find(const QString& path) {
    const QByteArrayView units = unitsOf(path);
    const auto it = m_index.find(pathHash(units));
    if (it == m_index.end())
        return nullptr;
    const RecordHead head = headAt(m_records, it->offset);
    const char* text = m_records.constData() + it->offset + sizeof head;
    if (head.lengths[0] != quint32(path.size()) || std::memcmp(text, units.data(), units.size()))
        return nullptr;
    return &*it;
}

void RowFactsCache::append(const QString& path, const FileStamp& stamp, const PlaylistRow& row) {
    const RecordHead head{stamp,
                          {quint32(path.size()), quint32(row.title.size()),
                           quint32(row.artist.size()), quint32(row.length.size())}};
    const qsizetype offset = m_records.size();
    m_records.append(reinterpret_cast<const char*>(&head), sizeof head);
    for (const QString* text : {&path, &row.title, &row.artist, &row.length})
        m_records.append(unitsOf(*text));
    m_index.insert(pathHash(unitsOf(path)), Slot{offset, true});
}

PlaylistRow RowFactsCache::row(const QString& path) {
    const std::optional<FileStamp> stamp = fileStampOf(path);
    if (!stamp)
        return m_reader(path);
    {
        QMutexLocker lock(&m_mutex);
        if (Slot* slot = find(path)) {
            const RecordHead head = headAt(m_records, slot->offset);
            if (head.stamp == *stamp) {
                slot->usedNow = true;
                const char* text =
                    m_records.constData() + slot->offset + sizeof head + 2 * head.lengths[0];
                PlaylistRow row;
                const std::pair<QString*, quint32> cells[] = {{&row.title, head.lengths[1]},
                                                              {&row.artist, head.lengths[2]},
                                                              {&row.length, head.lengths[3]}};
                for (const auto& [cell, length] : cells) {
                    *cell = QString(qsizetype(length), Qt::Uninitialized);
                    std::memcpy(cell->data(), text, 2 * size_t(length));
                    text += 2 * size_t(length);
                }
                row.path = path;
                return row;
            }
        }
    }
    // Read with the stamp taken before: a change while reading shows next time.
    PlaylistRow row = m_reader(path);
    const bool keep = settled(*stamp);
    QMutexLocker lock(&m_mutex);
    if (keep) {
        append(path, *stamp, row);
        m_changed = true;
    } else if (find(path)) {
        m_index.remove(pathHash(unitsOf(path)));
        m_changed = true;
    }
    return row;
}

qsizetype RowFactsCache::size() const {
    QMutexLocker lock(&m_mutex);
    return m_index.size();
}

QString RowFactsCache::fileIn(const QString& settingsFolder) {
    return settingsFolder + kCacheFileName;
}

bool RowFactsCache::load(const QString& file) {
    FileContents read = readWholeFile(file, kMaxFileBytes);
    if (read.refused())
        reportUnreadFile(file, read.reason,
                         QStringLiteral("files are read again and the cache is left as it is"));
    const bool opened = read.status == FileStatus::Read;
    QMutexLocker lock(&m_mutex);
    // A file there that could not be read is not written over; an unusable one (of
    // another version, damaged) is replaced at the next save, even by an empty cache.
    m_leaveFile = read.refused();
    m_changed = opened && !decode(std::move(read.bytes));
    if (m_changed || !opened) {
        m_records.clear();
        m_index.clear();
    }
    return opened && !m_changed;
}

bool RowFactsCache::save(const QString& file) {
    QByteArray bytes;
    {
        QMutexLocker lock(&m_mutex);
        if (!m_changed || m_leaveFile)
            return true;
        // The entries used in this run, then the others in the order of the last save
        // (most recently used first), up to the bound. Entries are appended as they
        // are read, so their order in m_records is the order they came in.
        QVector<Slot> kept(m_index.cbegin(), m_index.cend());
        std::sort(kept.begin(), kept.end(), [](const Slot& a, const Slot& b) {
            return a.usedNow != b.usedNow ? a.usedNow : a.offset < b.offset;
        });
        kept.resize(std::min(kept.size(), m_maxEntries));
        // One buffer, the check filled in once the entries are in: a long cache is
        // not copied again at exit. The file stays within what a load reads.
        qsizetype size = kHeaderSize;
        for (qsizetype i = 0; i < kept.size(); ++i) {
            const qsizetype entry = recordSize(headAt(m_records, kept[i].offset));
            if (size + entry > kMaxFileBytes) {
                kept.resize(i);
                break;
            }
            size += entry;
        }
        bytes.reserve(size);
        bytes.append(kMagic, sizeof kMagic);
        bytes.append(reinterpret_cast<const char*>(&kVersion), sizeof kVersion);
        bytes.append(kHashSize, '\0');
        for (const Slot& slot : kept)
            bytes.append(QByteArrayView(m_records).sliced(
                slot.offset, recordSize(headAt(m_records, slot.offset))));
        const QByteArray check =
            QCryptographicHash::hash(QByteArrayView(bytes).sliced(kHeaderSize), kHash);
        std::memcpy(bytes.data() + kHeaderSize - kHashSize, check.constData(), kHashSize);
    }
    if (!writeFileAtomically(file, bytes))
        return false;
    QMutexLocker lock(&m_mutex);
    m_changed = false;
    return true;
}

bool RowFactsCache::decode(QByteArray bytes) {
    quint32 version = 0;
    if (bytes.size() < kHeaderSize || !bytes.startsWith(QByteArrayView(kMagic, sizeof kMagic)))
        return false;
    std::memcpy(&version, bytes.constData() + sizeof kMagic, sizeof version);
    const QByteArrayView payload = QByteArrayView(bytes).sliced(kHeaderSize);
    if (version != kVersion || QCryptographicHash::hash(payload, kHash) !=
                                   bytes.sliced(kHeaderSize - kHashSize, kHashSize))
        return false;
    m_records = std::move(bytes);
    m_index.clear();
    for (qsizetype offset = kHeaderSize; offset < m_records.size();) {
        if (m_records.size() - offset < qsizetype(sizeof(RecordHead)))
            return false;
        const RecordHead head = headAt(m_records, offset);
        for (quint32 length : head.lengths)
            if (length > kMaxTextLength)
                return false;
        const qsizetype size = recordSize(head);
        if (m_records.size() - offset < size)
            return false;
        const auto path =
            QByteArrayView(m_records).sliced(offset + sizeof head, 2 * head.lengths[0]);
        m_index.insert(pathHash(path), Slot{offset, false});
        offset += size;
    }
    return true;
}

} // namespace pelto
