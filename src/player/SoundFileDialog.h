#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

namespace pelto {

// The filters of the dialogs that choose sound files, in Qt's form: the supported
// kinds together, then MPEG audio, FLAC / Ogg Vorbis / Opus, playlists and Wave.
QStringList soundFileFilters();
// The playlists' entry of those filters, "プレイリスト(*.m3u)", the save dialog's one.
QString playlistFileFilter();

// The folder a file dialog starts in: the folder last used in a dialog in this run;
// before any was used, the folder of the current song (a path, may be empty) when it
// still exists, else the user's home folder.
QString fileDialogFolder(const QString& currentSong);

// Remembers the folder a dialog's choice was made in, for the next dialog of this run.
void rememberFileDialogFolder(const QString& folder);

// Shows an open dialog in which several sound files may be chosen, starting in
// fileDialogFolder(currentSong); their full paths, or nothing when the user cancels.
// The dialog is Qt's own, so it speaks the program's language (Qt's translation) and
// lists each filter entry once, as the user reads it.
std::optional<QStringList> chooseSoundFiles(QWidget* parent, const QString& title,
                                            const QString& currentSong);

} // namespace pelto
