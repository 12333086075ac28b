#pragma once

#include <QString>

namespace pelto {

// The fields of a file's version 1 ID3 tag, as the audio engine reads them. Texts are
// decoded (UTF-8 when valid, else CP932) and kept untrimmed; every field is empty for
// a file without that tag. Readers trim spaces before testing or showing a value.
struct ID3TagInfo {
    QString Title;
    QString Artist;
    QString Album;
    QString Year;
    QString Comment;
    int Genre = 0;     // the genre number; 0 when there is no tag
    QString GenreName; // the name of that number in the standard genre list
};

// What the engine reports about any file, open or not: its tag and its length in
// whole seconds (the true duration rounded down; 0 when unknown or unreadable).
struct FileInfo {
    ID3TagInfo tag;
    int TotalSec = 0;
};

} // namespace pelto
