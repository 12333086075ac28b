#include "playlistwindow/SaveListDialog.h"

#include "player/FileDialogPlace.h"
#include "player/SoundFileDialog.h"

#include <QFileDialog>

namespace pelto {

std::optional<QString> choosePlaylistToSave(QWidget* parent, const QString& currentSong) {
    QFileDialog dialog(parent, QStringLiteral("プレイリストに保存する"),
                       fileDialogFolder(currentSong));
    // Qt's own dialog, as the open dialogs use: it speaks the program's language.
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The playlists' entry of the sound files' filters.
    dialog.setNameFilter(playlistFileFilter());
    placeFileDialog(dialog, parent);
    const bool chosen = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
    rememberFileDialogSize(dialog);
    if (!chosen)
        return std::nullopt;
    rememberFileDialogFolder(dialog.directory().absolutePath());
    return dialog.selectedFiles().constFirst();
}

} // namespace pelto
