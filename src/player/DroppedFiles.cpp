#include "player/DroppedFiles.h"

#include "common/FileNames.h"

#include <QDragEnterEvent>
#include <QMimeData>
#include <QUrl>

namespace pelto {

QStringList localFilesOf(const QMimeData* data) {
    QStringList paths;
    if (!data)
        return paths;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            paths.append(localFileOf(url));
    return paths;
}

void acceptDraggedFiles(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

} // namespace pelto
