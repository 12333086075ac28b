#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

namespace pelto {

// The filters of the dialogs that choose sound files, in Qt's form: the supported
// kinds together, then MPEG audio, playlists and Wave.
QStringList soundFileFilters();

// Shows an open dialog in which several sound files may be chosen; their full paths,
// or nothing when the user cancels.
std::optional<QStringList> chooseSoundFiles(QWidget* parent, const QString& title);

} // namespace pelto
