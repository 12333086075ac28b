#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace pelto {

class FileSpan;

// What a file's first twelve bytes say about it.
enum class RiffForm { None, Wave, Rmp3, Other };

// The RIFF form of a file from its first bytes: "RIFF", a size, then the form type.
RiffForm riffFormOf(const char* head, std::int64_t size);

// Where one chunk's payload lies in the file.
struct ChunkSpan {
    std::int64_t offset = 0; // of the payload, after the 8-byte chunk header
    std::int64_t size = 0;   // clamped to the file and to the RIFF size
};

// Walks the chunks of a RIFF file and returns the payload of the first chunk with
// the given four-character id. Sizes are checked against the file: a chunk whose
// declared size runs past the end (0xFFFFFFFF included) is cut at the end, and the
// walk stops there. Odd sizes are followed by one pad byte, as RIFF requires.
std::optional<ChunkSpan> findRiffChunk(const FileSpan& file, const std::array<char, 4>& id);

} // namespace pelto
