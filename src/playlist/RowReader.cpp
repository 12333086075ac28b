#include "RowFacts.h"

#include "audio/FileInfoReader.h"

namespace pelto {

PlaylistRow makePlaylistRow(const QString& path) {
    const FileInfo info = readFileInfo(path);
    ExtTagInfo ext;
    const int extValid = ReadExtTag(ext, path);
    return playlistRowFromFacts(path, info, ext, extValid);
}

} // namespace pelto
