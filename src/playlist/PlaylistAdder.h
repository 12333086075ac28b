#pragma once

#include "PlaylistModel.h"
#include "RowFacts.h"
#include "common/FileRead.h"

#include <QObject>
#include <QStringList>

#include <functional>

namespace pelto {

// The ways files become playlist rows: one file, a batch, a command line, a drop and
// a file dialog's choice. Rows are always appended in the order the names come;
// the file reading behind a batch may run on worker threads.
class PlaylistAdder : public QObject {
    Q_OBJECT
public:
    using RowReader = std::function<PlaylistRow(const QString&)>;

    // The reader makes a row for a path; it must be safe to call from several threads.
    explicit PlaylistAdder(PlaylistModel& model, RowReader reader = makePlaylistRow,
                           QObject* parent = nullptr);

    // Appends one row for the file. Nothing else changes: no selection, highlight
    // or scrolling.
    void AddPlayListItem(const QString& path);
    // Appends one row per path, in order, exactly as AddPlayListItem one by one
    // would; the files are read in parallel.
    void addPlayListItems(const QStringList& paths);
    // Appends one row per entry of the playlist file, as
    // addPlayListItems(ReadPlayListFile(path)) would, with the list read a batch at
    // a time. Says whether the file was read whole (and nothing on stderr).
    ReadOutcome addPlaylistFile(const QString& path);

    // Adds the names of a command line (see splitCommandLine): audio files and the
    // entries of playlists (".m3u", ".m3u8", ".pls"); names without "." or of other
    // kinds are skipped.
    // clearFirst empties the list first. playFirstAdded makes the first added row
    // current and plays it, when any row was added (or the list was cleared and
    // has rows).
    void AddCommandLine(const QString& text, bool clearFirst, bool playFirstAdded);
    // Adds dropped files: audio files and the entries of playlists, in order;
    // other names are skipped. Nothing is cleared or played.
    void AddDroppedFiles(const QStringList& localPaths);
    // Adds the files chosen in the add dialog: a playlist adds its entries, any other
    // file becomes a row whatever its extension. Nothing is cleared or played.
    void addDialogSelection(const QStringList& fullPaths);

    // Which names an add operation takes.
    enum class Accept {
        AudioAndPlaylists, // audio and playlist extensions; anything else is skipped
        Anything,          // a playlist gives its entries; any other name is taken
    };
    // The paths that adding the names gives, in order: playlist names (".m3u", ".m3u8",
    // ".pls") are replaced by their entries (which are taken whatever their extension).
    static QStringList expandForAdding(const QStringList& names, Accept accept);
    // True for the extensions of the audio kinds (".mp3", ".mp2", ".mp1", ".rmp",
    // ".wav", ".flac", ".ogg", ".oga", ".opus"), compared ignoring case.
    static bool isAudioName(const QString& name);

signals:
    // AddCommandLine starts playback: it has made the first added row current and
    // highlighted it; the path is that row's.
    void playRequested(const QString& path);

private:
    class PendingRows;
    // Appends the rows of what adding the names gives (see expandForAdding).
    void addNames(const QStringList& names, Accept accept);

    PlaylistModel& m_model;
    RowReader m_reader;
};

} // namespace pelto
