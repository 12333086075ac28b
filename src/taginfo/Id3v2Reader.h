#pragma once

#include "taginfo/ByteFile.h"
#include "taginfo/RiffWalker.h"
#include "taginfo/TagValues.h"

#include <optional>

namespace pelto {

// Sets TagLib up once for the program: its "Latin-1" ID3v2 texts read as UTF-8 when
// valid, otherwise as CP932, and its messages about damaged tags unprinted.
void installTagLibHandlers();

// The complete size of the ID3v2 tag whose header is at `offset` (header, frames,
// padding and footer), or 0 when no valid ID3v2 header (versions 2.2 to 2.4) is there.
qint64 id3v2TagSize(const ByteFile& file, qint64 offset);

// Reads the ID3v2 tag at `offset`; only its bytes inside `limit` are read. None when no
// valid ID3v2 header is there. Values a tag lacks are empty. Texts in "Latin-1" frames
// are read as UTF-8 when valid, otherwise as CP932.
std::optional<TagValues> readId3v2(const ByteFile& file, qint64 offset, const ByteRange& limit);

} // namespace pelto
