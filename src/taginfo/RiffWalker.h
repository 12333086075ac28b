#pragma once

#include "taginfo/ByteFile.h"
#include "taginfo/TagValues.h"

#include <optional>

namespace pelto {

// A byte range [begin, end) of a file.
struct ByteRange {
    qint64 begin = -1;
    qint64 end = -1;
    bool isValid() const { return begin >= 0; }
};

// What a RIFF file at some offset holds, as far as the tag reader cares.
struct RiffContents {
    QByteArray form; // "WAVE", "RMP3", …; empty when there is no RIFF header
    ByteRange data;  // the 'data' chunk's body
    ByteRange id3;   // the body of an "id3 " or "ID3 " chunk (an ID3v2 tag)
    // The LIST/INFO texts; a field the list lacks is empty. None without a LIST/INFO.
    std::optional<TagValues> info;
};

// Walks the chunks of the RIFF file starting at `offset`. Every size is checked against
// the file: a chunk that claims more than the file holds is cut at its end, and the walk
// ends there. Only the chunks of an "RMP3" file are walked.
RiffContents walkRiff(const ByteFile& file, qint64 offset);

} // namespace pelto
