#pragma once

#include "audio/PcmStream.h"

#include <cstdint>
#include <memory>

namespace pelto {

class FileSpan;

// The kinds of audio that Xiph.Org's formats hold, told by a file's content: a FLAC
// stream ("fLaC", also after an ID3v2 tag), or an Ogg stream whose first packet is a
// Vorbis or an Opus identification header. OtherOgg is any other Ogg stream (Ogg FLAC,
// Speex, one led by a skeleton), which nothing here decodes, and which is no MPEG
// audio either.
enum class XiphKind { None, Flac, Vorbis, Opus, OtherOgg };

// The kind of the file the span shows (its whole window); None when it is neither
// FLAC nor Ogg.
XiphKind xiphKindOf(const FileSpan& file);

// Where the FLAC stream of a file begins: after an ID3v2 tag that leads it, else 0.
std::int64_t flacStreamStart(const FileSpan& file);

// Opens the decoder of that kind over the file; null when the stream cannot be
// decoded. `lengthOnly` sets it up for asking the format and length only. Takes over
// the span.
std::unique_ptr<PcmStream> openXiphStream(std::unique_ptr<FileSpan> file, XiphKind kind,
                                          bool lengthOnly);

} // namespace pelto
