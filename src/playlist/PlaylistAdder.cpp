#include "PlaylistAdder.h"

#include "CommandLineSplit.h"
#include "PlaylistFile.h"
#include "common/Paths.h"

#include <QThread>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentMap>

#include <algorithm>
#include <numeric>

namespace pelto {

namespace {

// Below this many files a batch is read on the calling thread: starting the pool
// costs more than it saves.
constexpr qsizetype kParallelThreshold = 16;

// The workers that read files for a batch. Reading a small file spends much of its
// time in the kernel opening and reading it, so more workers than cores pay off.
QThreadPool* readerPool() {
    static QThreadPool* pool = [] {
        auto* p = new QThreadPool;
        p->setMaxThreadCount(std::max(4, 2 * QThread::idealThreadCount()));
        return p;
    }();
    return pool;
}

// Rows are read and kept compact this many at a time.
constexpr qsizetype kBatchRows = 4096;

// Calls add(entry) for each entry of the playlist file, a batch of lines at a time,
// after telling reserve(n) how many entries there may be.
template <typename Reserve, typename Add>
ReadOutcome addEntriesOf(const QString& playlist, Reserve&& reserve, Add&& add) {
    PlaylistFileReader reader(playlist);
    reserve(reader.lineCount());
    QStringList batch;
    while (reader.read(batch, kBatchRows)) {
        for (const QString& entry : batch)
            add(entry);
        batch.clear();
    }
    return reader.outcome();
}

// Calls add(path) for each path that adding the names gives, in order (see
// expandForAdding); reserve(n) hears of the entries a playlist may add.
template <typename Reserve, typename Add>
void forEachPathToAdd(const QStringList& names, PlaylistAdder::Accept accept, Reserve&& reserve,
                      Add&& add) {
    for (const QString& name : names) {
        if (isPlaylistName(name)) {
            const ReadOutcome read = addEntriesOf(name, reserve, add);
            if (read.refused())
                reportUnreadFile(name, read.reason);
        } else if (accept == PlaylistAdder::Accept::Anything || PlaylistAdder::isAudioName(name))
            add(name);
    }
}

} // namespace

PlaylistAdder::PlaylistAdder(PlaylistModel& model, RowReader reader, QObject* parent)
    : QObject(parent), m_model(model), m_reader(std::move(reader)) {}

void PlaylistAdder::AddPlayListItem(const QString& path) {
    m_model.appendRow(m_reader(path));
}

// The rows of one add operation. The files are read a batch at a time (on worker
// threads when the batch is large enough) and each batch is turned into the model's
// compact rows at once, so that even a list of millions never holds its rows as full
// cells; the model gets them all in one piece at the end.
class PlaylistAdder::PendingRows {
public:
    PendingRows(const RowReader& reader, const StoredRow* last) : m_reader(reader), m_last(last) {}

    void reserve(qsizetype more) { m_rows.reserve(m_rows.size() + m_paths.size() + more); }
    void add(const QString& path) {
        m_paths.push_back(path);
        if (m_paths.size() >= kBatchRows)
            readBatch();
    }
    QVector<StoredRow> take() {
        readBatch();
        return std::move(m_rows);
    }

private:
    void readBatch() {
        QVector<PlaylistRow> rows(m_paths.size());
        if (m_paths.size() < kParallelThreshold) {
            for (qsizetype i = 0; i < m_paths.size(); ++i)
                rows[i] = m_reader(m_paths[i]);
        } else {
            // Each worker writes the row of its path into that path's own slot, so the
            // rows come out in the order of the names whatever order the workers
            // finish in.
            PlaylistRow* out = rows.data();
            QVector<qsizetype> indexes(m_paths.size());
            std::iota(indexes.begin(), indexes.end(), 0);
            QtConcurrent::blockingMap(readerPool(), indexes,
                                      [&](qsizetype i) { out[i] = m_reader(m_paths[i]); });
        }
        for (const PlaylistRow& row : rows) {
            StoredRow stored(row, m_rows.isEmpty() ? m_last : &m_rows.back());
            m_rows.push_back(std::move(stored));
        }
        m_paths.clear();
    }

    const RowReader& m_reader;
    const StoredRow* m_last;
    QStringList m_paths;
    QVector<StoredRow> m_rows;
};

void PlaylistAdder::addPlayListItems(const QStringList& paths) {
    PendingRows rows(m_reader, m_model.lastStoredRow());
    rows.reserve(paths.size());
    for (const QString& path : paths)
        rows.add(path);
    m_model.appendRows(rows.take());
}

ReadOutcome PlaylistAdder::addPlaylistFile(const QString& path) {
    PendingRows rows(m_reader, m_model.lastStoredRow());
    const ReadOutcome read = addEntriesOf(
        path, [&](qsizetype lines) { rows.reserve(lines); },
        [&](const QString& entry) { rows.add(entry); });
    m_model.appendRows(rows.take());
    return read;
}

void PlaylistAdder::addNames(const QStringList& names, Accept accept) {
    PendingRows rows(m_reader, m_model.lastStoredRow());
    rows.reserve(names.size());
    forEachPathToAdd(
        names, accept, [&](qsizetype lines) { rows.reserve(lines); },
        [&](const QString& path) { rows.add(path); });
    m_model.appendRows(rows.take());
}

bool PlaylistAdder::isAudioName(const QString& name) {
    static const QStringList kAudio = {
        QStringLiteral(".mp3"), QStringLiteral(".mp2"), QStringLiteral(".mp1"),
        QStringLiteral(".rmp"), QStringLiteral(".wav"), QStringLiteral(".flac"),
        QStringLiteral(".ogg"), QStringLiteral(".oga"), QStringLiteral(".opus")};
    return kAudio.contains(extensionOf(name));
}

QStringList PlaylistAdder::expandForAdding(const QStringList& names, Accept accept) {
    QStringList paths;
    forEachPathToAdd(
        names, accept, [&](qsizetype lines) { paths.reserve(paths.size() + lines); },
        [&](const QString& path) { paths.push_back(path); });
    return paths;
}

void PlaylistAdder::AddCommandLine(const QString& text, bool clearFirst, bool playFirstAdded) {
    const int before = m_model.count();
    if (clearFirst)
        m_model.clear();
    const int firstAdded = m_model.count() + 1;
    addNames(splitCommandLine(text), Accept::AudioAndPlaylists);
    if (!playFirstAdded || m_model.count() == 0)
        return;
    if (!clearFirst && m_model.count() == before)
        return;
    m_model.CancelPlayListColor();
    m_model.setPlayListTrNum(firstAdded);
    m_model.SetPlayListColor();
    emit playRequested(m_model.path(m_model.PlayListTrNum()));
}

void PlaylistAdder::AddDroppedFiles(const QStringList& localPaths) {
    addNames(localPaths, Accept::AudioAndPlaylists);
}

void PlaylistAdder::addDialogSelection(const QStringList& fullPaths) {
    addNames(fullPaths, Accept::Anything);
}

} // namespace pelto
