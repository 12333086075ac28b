#pragma once

#include "audio/XiphStreams.h"
#include "taginfo/ByteFile.h"
#include "taginfo/TagValues.h"

#include <optional>

namespace pelto {

// The values of the Vorbis comment of a FLAC, Ogg Vorbis or Opus file, read by TagLib
// over the file's own reads: TITLE, ARTIST, ALBUM, COMMENT (else DESCRIPTION), GENRE,
// DATE and TRACKNUMBER, the first value of each (UTF-8, as the format has it), cut to
// kMaxTagText. None when the file has no Vorbis comment or the comment holds none of
// those fields; a field it lacks is an empty text.
std::optional<TagValues> readXiphComment(const ByteFile& file, XiphKind kind);

} // namespace pelto
