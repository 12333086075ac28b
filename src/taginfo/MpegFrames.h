#pragma once

#include "common/MpegFrameHeader.h"
#include "taginfo/ByteFile.h"

namespace pelto {

// Whether MPEG audio frames (any version, Layers I to III) start within the first
// 64 KiB after `offset`: a valid frame header followed by a second one where the
// first frame ends, or a last frame that reaches the end of the file or a version 1
// tag.
bool findsMpegFrames(const ByteFile& file, qint64 offset);

} // namespace pelto
