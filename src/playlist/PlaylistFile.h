#pragma once

#include "common/FileRead.h"
#include "common/Paths.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <memory>

namespace pelto {

class PlaylistModel;

// The kinds of playlist files, by extension (compared ignoring case): ".m3u" and
// ".m3u8" (M3U, read and written alike; an ".m3u8" file is always read as UTF-8) and
// ".pls" (PLS, read only). A name of another extension reads as M3U.
enum class PlaylistKind { M3u, M3u8, Pls };
PlaylistKind playlistKindOf(const QString& path);
// True for the extensions of the playlist kinds: ".m3u", ".m3u8", ".pls".
bool isPlaylistName(const QString& name);

// PLS playlists: "[playlist]" and lines "FileN=entry", handed out in the order of N;
// an entry is a "file:" address (its local file), an absolute path, or a path relative
// to the playlist's folder; addresses of other kinds (streams) and every other line
// are skipped. The file is UTF-8, or CP932 where it is not.
//
// M3U playlists: one path per line. Reading accepts UTF-8 text with CR LF, LF or
// lone CR line ends; a file that is not UTF-8 as a whole is read line by line as
// UTF-8, CP932 or the bytes of a name, whichever names a file that exists (see
// PlaylistFile.cpp). Names go in and out as file names (FileNames.h), so a name that
// is not UTF-8 keeps its bytes. Blank lines and lines beginning with "#" are skipped.
// Every other line is resolved against the playlist file's own path:
//   - a line that begins with the separator is absolute (with the Windows syntax it
//     is put after the playlist's drive, the first two characters of its path);
//   - a line holding the separator elsewhere is taken unchanged;
//   - a line without a separator is joined to the playlist's folder.
// Lines are otherwise taken as they stand: spaces are kept, nothing is checked for
// extension. A line is cut at a NUL character, where the file system
// would cut the name anyway.

// The entries of a playlist file; empty when there is no readable regular file at
// the path.
QStringList ReadPlayListFile(const QString& path, PathSyntax syntax = PathSyntax::native());

// Reads the entries of a playlist file a batch at a time, as ReadPlayListFile would
// give them, so that a huge list is never in memory whole, neither as text nor as
// one list of entries: the file is read in blocks of whole lines, once to choose the
// encoding and count the lines, and once more for the entries.
class PlaylistFileReader {
public:
    explicit PlaylistFileReader(const QString& path, PathSyntax syntax = PathSyntax::native());
    ~PlaylistFileReader();
    PlaylistFileReader(const PlaylistFileReader&) = delete;
    PlaylistFileReader& operator=(const PlaylistFileReader&) = delete;

    // The number of lines that are not blank, which no number of entries exceeds; 0
    // when there is no readable regular file at the path.
    qsizetype lineCount() const;
    // Appends the next entries, at most max of them, to batch; false when none was
    // left.
    bool read(QStringList& batch, qsizetype max);
    // Whether the file was read whole so far: Missing when nothing is there, Refused
    // when something there could not be opened (not a regular file, unreadable), a
    // read failed, or the file is larger than what is read of it.
    ReadOutcome outcome() const;

private:
    struct State;
    std::unique_ptr<State> d;
};

// The entries that the bytes of a playlist file at playlistPath give.
QStringList parsePlaylistBytes(QByteArrayView bytes, const QString& playlistPath,
                               PathSyntax syntax = PathSyntax::native());

// The lines written for the given row paths into a playlist at targetPath: the bare
// file name for a row in the playlist's own folder, with the Windows syntax the path
// without its drive for a row on the playlist's drive, and the path unchanged
// otherwise. A bare name that would read back as a comment or a blank line (it
// begins with "#" or is empty) is written in the longer form instead.
QStringList playlistFileLines(const QStringList& rowPaths, const QString& targetPath,
                              PathSyntax syntax = PathSyntax::native());

// The bytes of a playlist file holding those lines: each line as file-name bytes
// (UTF-8, names that are not UTF-8 as they were), ended by CR LF.
QByteArray playlistFileBytes(const QStringList& rowPaths, const QString& targetPath,
                             PathSyntax syntax = PathSyntax::native());

// Writes every row of the playlist to targetPath, UTF-8 with CR LF line ends,
// replacing the file as a whole (".m3u" and ".m3u8" alike). On failure the old file
// is kept, one line goes to stderr and the result is false; the rows are never
// touched. A ".pls" target is never written: one line on stderr, false.
bool SavePlayListFile(const PlaylistModel& model, const QString& targetPath,
                      PathSyntax syntax = PathSyntax::native());

} // namespace pelto
