#pragma once

#include "audio/ID3TagInfo.h"
#include "common/Paths.h"
#include "taginfo/ExtTagInfo.h"

#include <QString>

namespace pelto {

// What the information lines are made from: the state of the current song. Written
// when a song starts; not cleared between songs, so ExtTagValid is what keeps a stale
// ExtTagInfo from being shown.
struct CurrentSong {
    ID3TagInfo id3;
    ExtTagInfo ext;
    int ExtTagValid = 0;
    QString DmyFileName; // full path of the current song
    int TotalSec = 0;
};

// Expands a format string of the information-line language for the current song.
QString FormatTagInfo(const QString& format, const CurrentSong& song);
// The same, with "%g" taking the file name from a path of the given form.
QString FormatTagInfo(const QString& format, const CurrentSong& song, const PathSyntax& paths);

} // namespace pelto
