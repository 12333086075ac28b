#include "audio/RiffChunks.h"

#include "common/FileSpan.h"

#include <algorithm>
#include <cstring>

namespace pelto {

namespace {

std::uint32_t littleEndian32(const unsigned char* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

} // namespace

RiffForm riffFormOf(const char* head, std::int64_t size) {
    if (size < 12 || std::memcmp(head, "RIFF", 4) != 0)
        return RiffForm::None;
    if (std::memcmp(head + 8, "WAVE", 4) == 0)
        return RiffForm::Wave;
    if (std::memcmp(head + 8, "RMP3", 4) == 0)
        return RiffForm::Rmp3;
    return RiffForm::Other;
}

std::optional<ChunkSpan> findRiffChunk(const FileSpan& file, const std::array<char, 4>& id) {
    unsigned char header[12];
    if (file.readAt(0, header, 12) != 12 || std::memcmp(header, "RIFF", 4) != 0)
        return std::nullopt;
    // The RIFF size counts from byte 8; trust it only as far as the file goes.
    const std::int64_t riffEnd =
        std::min<std::int64_t>(8 + std::int64_t(littleEndian32(header + 4)), file.fileSize());
    std::int64_t at = 12;
    while (at + 8 <= riffEnd) {
        unsigned char chunk[8];
        if (file.readAt(at, chunk, 8) != 8)
            return std::nullopt;
        const std::int64_t payload = at + 8;
        const std::int64_t declared = littleEndian32(chunk + 4);
        const std::int64_t size = std::min(declared, riffEnd - payload);
        if (std::memcmp(chunk, id.data(), 4) == 0)
            return ChunkSpan{payload, size};
        if (declared > size)
            return std::nullopt; // this chunk runs past the end: nothing follows it
        at = payload + declared + (declared & 1);
    }
    return std::nullopt;
}

} // namespace pelto
