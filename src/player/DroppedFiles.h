#pragma once

#include <QStringList>

class QDragEnterEvent;
class QMimeData;

namespace pelto {

// The local files a drop carries, in the order it lists them; addresses that are not
// local files are left out, so a drop without any gives an empty list.
QStringList localFilesOf(const QMimeData* data);

// Accepts a drag that carries addresses (files among them), as the windows that take
// dropped files do.
void acceptDraggedFiles(QDragEnterEvent* event);

} // namespace pelto
