#pragma once

#include "PlaylistModel.h"
#include "audio/ID3TagInfo.h"
#include "common/Paths.h"
#include "taginfo/ExtTagInfo.h"

#include <QString>

namespace pelto {

// The playlist row for a file, from what its tags and length say:
//   - title: the extended title, trimmed of spaces, when it is not empty and the
//     extended tag was read (extValid 1); else the version 1 tag's title, cut at NUL
//     and trimmed of spaces, when not empty; else the file name without folder and
//     extension (only U+0020 is trimmed: tabs and full-width spaces stay);
//   - artist: the same choice between the two tags, with no file-name fallback;
//   - length: "mm:ss" of the length in whole seconds;
//   - path: unchanged.
PlaylistRow playlistRowFromFacts(const QString& path, const FileInfo& info, const ExtTagInfo& ext,
                                 int extValid, PathSyntax syntax = PathSyntax::native());

// Reads the file's tag, length and extended tag and makes its row as above. A file
// that cannot be read still gets a row (its title from the file name, length
// "00:00"). Safe to call from several threads at once.
PlaylistRow makePlaylistRow(const QString& path);

} // namespace pelto
