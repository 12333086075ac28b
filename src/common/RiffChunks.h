#pragma once

#include "common/FileSpan.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <optional>

namespace pelto {

// RIFF files: "RIFF", a 32-bit little-endian size counted from byte 8, a form type
// ("WAVE", "RMP3", …), then chunks of an id, a size and a body padded to even length.
// The audio engine finds the 'data' chunk here and the tag reader the tag chunks.

// The unsigned 32-bit little-endian number at p.
inline std::uint32_t readLe32(const void* p) {
    const auto* u = static_cast<const unsigned char*>(p);
    return std::uint32_t(u[0]) | std::uint32_t(u[1]) << 8 | std::uint32_t(u[2]) << 16 |
           std::uint32_t(u[3]) << 24;
}

// What a file's first twelve bytes say about it.
enum class RiffForm { None, Wave, Rmp3, Other };

// The RIFF form of a file from its first bytes: "RIFF", a size, then the form type.
RiffForm riffFormOf(const char* head, std::int64_t size);

// The RIFF header at `offset` of a file: its form and where its chunks lie. The
// declared size is trusted only as far as the file goes.
struct RiffHeader {
    RiffForm form = RiffForm::None;
    std::int64_t chunksBegin = 0;
    std::int64_t chunksEnd = 0;
};
std::optional<RiffHeader> readRiffHeader(const FileSpan& file, std::int64_t offset);

// One chunk of a walk.
struct RiffChunk {
    std::array<char, 4> id{};
    std::int64_t offset = 0; // of the body, after the 8-byte chunk header
    std::int64_t size = 0;   // of the body, cut where the walked range ends
    std::int64_t next = 0;   // where the following chunk starts (bodies are padded)

    bool is(const char* fourCC) const { return std::memcmp(id.data(), fourCC, 4) == 0; }
};

// A walk never visits more chunks than this, so a file made of empty chunks ends soon.
inline constexpr int kMaxRiffChunks = 10000;

// Calls visit(chunk) for each chunk in [begin, end) of the file until it returns
// false. Every size is checked against the range: a chunk that claims more than the
// range holds (0xFFFFFFFF included) is cut at its end and is the last one visited.
template <typename Visit>
void forEachRiffChunk(const FileSpan& file, std::int64_t begin, std::int64_t end, Visit&& visit) {
    std::int64_t at = begin;
    for (int count = 0; count < kMaxRiffChunks && at + 8 <= end; ++count) {
        char header[8];
        if (file.readAt(at, header, 8) != 8)
            return;
        RiffChunk chunk;
        std::memcpy(chunk.id.data(), header, 4);
        const std::int64_t declared = readLe32(header + 4);
        chunk.offset = at + 8;
        chunk.size = std::min(declared, end - chunk.offset);
        chunk.next = chunk.offset + declared + (declared & 1);
        if (!visit(chunk) || declared > chunk.size)
            return;
        at = chunk.next;
    }
}

// Where one chunk's body lies in the file.
struct ChunkSpan {
    std::int64_t offset = 0; // of the payload, after the 8-byte chunk header
    std::int64_t size = 0;   // clamped to the file and to the RIFF size
};

// The body of the first chunk with the given id in the RIFF file that starts the
// file; none when the file is not RIFF or has no such chunk.
std::optional<ChunkSpan> findRiffChunk(const FileSpan& file, const std::array<char, 4>& id);

} // namespace pelto
