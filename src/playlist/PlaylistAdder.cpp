#include "PlaylistAdder.h"

#include "CommandLine.h"
#include "PlaylistFile.h"
#include "common/Paths.h"

#include <QThread>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentMap>

#include <algorithm>
#include <numeric>

namespace pelto {

namespace {

const QString kPlaylistExtension = QStringLiteral(".m3u");

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

} // namespace

PlaylistAdder::PlaylistAdder(PlaylistModel& model, RowReader reader)
    : m_model(model), m_reader(std::move(reader)) {}

void PlaylistAdder::setPlayHandler(std::function<void(const QString&)> handler) {
    m_play = std::move(handler);
}

void PlaylistAdder::AddPlayListItem(const QString& path) {
    m_model.appendRow(m_reader(path));
}

void PlaylistAdder::addPlayListItems(const QStringList& paths) {
    if (paths.size() < kParallelThreshold) {
        QVector<PlaylistRow> rows;
        rows.reserve(paths.size());
        for (const QString& path : paths)
            rows.push_back(m_reader(path));
        m_model.appendRows(rows);
        return;
    }
    // Each worker writes the row of its path into that path's own slot, so the rows
    // come out in the order of the names whatever order the workers finish in.
    QVector<PlaylistRow> rows(paths.size());
    PlaylistRow* out = rows.data();
    QVector<qsizetype> indexes(paths.size());
    std::iota(indexes.begin(), indexes.end(), 0);
    const RowReader& reader = m_reader;
    QtConcurrent::blockingMap(readerPool(), indexes,
                              [&](qsizetype i) { out[i] = reader(paths[i]); });
    m_model.appendRows(rows);
}

bool PlaylistAdder::isAudioName(const QString& name) {
    static const QStringList kAudio = {QStringLiteral(".mp3"), QStringLiteral(".mp2"),
                                       QStringLiteral(".mp1"), QStringLiteral(".rmp"),
                                       QStringLiteral(".wav")};
    return kAudio.contains(extensionOf(name));
}

QStringList PlaylistAdder::expandForAdding(const QStringList& names, Accept accept) {
    QStringList paths;
    for (const QString& name : names) {
        if (extensionOf(name) == kPlaylistExtension)
            paths += ReadPlayListFile(name);
        else if (accept == Accept::Anything || isAudioName(name))
            paths.push_back(name);
    }
    return paths;
}

void PlaylistAdder::AddCommandLine(const QString& text, bool clearFirst, bool playFirstAdded) {
    const int before = m_model.count();
    if (clearFirst)
        m_model.clear();
    const int firstAdded = m_model.count() + 1;
    addPlayListItems(expandForAdding(splitCommandLine(text), Accept::AudioAndPlaylists));
    if (!playFirstAdded || m_model.count() == 0)
        return;
    if (!clearFirst && m_model.count() == before)
        return;
    m_model.CancelPlayListColor();
    m_model.setPlayListTrNum(firstAdded);
    m_model.SetPlayListColor();
    if (m_play)
        m_play(m_model.path(m_model.PlayListTrNum()));
}

void PlaylistAdder::AddDroppedFiles(const QStringList& localPaths) {
    addPlayListItems(expandForAdding(localPaths, Accept::AudioAndPlaylists));
}

void PlaylistAdder::addDialogSelection(const QStringList& fullPaths) {
    addPlayListItems(expandForAdding(fullPaths, Accept::Anything));
}

} // namespace pelto
