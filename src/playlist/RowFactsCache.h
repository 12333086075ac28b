#pragma once

#include "PlaylistRow.h"
#include "RowFacts.h"

#include <QHash>
#include <QMutex>
#include <QString>

#include <functional>
#include <optional>

namespace pelto {

// What tells one version of a file from another: its size, its modification and
// status-change times to the nanosecond and its inode. Touching, rewriting or
// replacing a file (even by one of the same size and modification time, as `cp -p`
// leaves it) changes at least one of them.
struct FileStamp {
    qint64 size = 0;
    qint64 modifiedNs = 0;
    qint64 changedNs = 0;
    quint64 inode = 0;
    bool operator==(const FileStamp&) const = default;
};

// The stamp of a regular file; nothing for a file that does not exist or is no
// regular file.
std::optional<FileStamp> fileStampOf(const QString& path);

// The rows that reading files made, kept from one run to the next so that a start
// with a long Pelto.m3u (and adding files already seen) does not read every file's
// tags and length again. A row comes from the cache only when its file still has the
// stamp it had when it was read, so it is the row reading the file would make;
// anything else is read and the row kept. A file changed in the last few seconds is
// not kept: a change within the same tick of the file system's clock would leave its
// stamp as it was.
//
// The cache file is binary: a magic, a format version, a checksum and the entries.
// A file that is missing, of another format version, cut short or damaged is ignored
// (and replaced at the next save). A save keeps the entries used in this run, then
// the most recently used of the others, up to a bound.
class RowFactsCache {
public:
    using RowReader = std::function<PlaylistRow(const QString&)>;

    static constexpr qsizetype kMaxEntries = 100000;
    // The largest cache file read or written: 100,000 entries of paths, titles and
    // artists of usual lengths take a fraction of it.
    static constexpr qsizetype kMaxFileBytes = 128 * 1024 * 1024;

    // The reader makes a row by reading the file; it must be safe to call from
    // several threads.
    explicit RowFactsCache(RowReader reader = makePlaylistRow, qsizetype maxEntries = kMaxEntries);

    // The row for the file, from the cache when its stamp is unchanged, else read
    // (and kept). Safe to call from several threads at once.
    PlaylistRow row(const QString& path);
    // This cache as a reader for PlaylistAdder; the cache must outlive it.
    RowReader reader() {
        return [this](const QString& path) { return row(path); };
    }

    // Replaces the entries with those of the cache file; false (and no entries) when
    // the file is missing or unusable. A file there that cannot be read (not a
    // regular file, unreadable, larger than kMaxFileBytes) is said on stderr and is
    // not written over by this run.
    bool load(const QString& file);
    // Writes the cache file atomically when the entries changed since the load (or
    // the file there was unusable); true when nothing needed writing or the write
    // succeeded.
    bool save(const QString& file);

    qsizetype size() const;

    // The cache file in the settings folder (which ends in "/").
    static QString fileIn(const QString& settingsFolder);

private:
    // Where a path's entry lies in m_records, and whether this run used it.
    struct Slot {
        qsizetype offset = 0;
        bool usedNow = false;
    };

    // The entry of the path as it is kept; nullptr when there is none. Under the lock.
    Slot* find(const QString& path);
    void append(const QString& path, const FileStamp& stamp, const PlaylistRow& row);
    bool decode(QByteArray bytes);

    RowReader m_reader;
    qsizetype m_maxEntries;
    mutable QMutex m_mutex;
    // The entries one after the other, as the cache file holds them (the loaded file
    // as it was read, the entries read since after it): far less memory than strings
    // of their own.
    QByteArray m_records;
    // The entries by a hash of their path. Two paths of one hash share a slot: the one
    // last read has it, the other is read again when asked for.
    QHash<size_t, Slot> m_index;
    bool m_leaveFile = false;
    bool m_changed = false;
};

} // namespace pelto
