#pragma once

#include <QString>

#include <optional>

class QWidget;

namespace pelto {

// The save dialog "プレイリストに保存する" with the one filter "プレイリスト(*.m3u)",
// starting in the folder the file dialogs last used (or the current song's). The
// path as the user typed or chose it, with no extension added, or nothing when the
// user cancels; a file that exists is replaced only once the user has agreed.
std::optional<QString> choosePlaylistToSave(QWidget* parent, const QString& currentSong);

} // namespace pelto
