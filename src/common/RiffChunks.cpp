#include "common/RiffChunks.h"

namespace pelto {

RiffForm riffFormOf(const char* head, std::int64_t size) {
    if (size < 12 || std::memcmp(head, "RIFF", 4) != 0)
        return RiffForm::None;
    if (std::memcmp(head + 8, "WAVE", 4) == 0)
        return RiffForm::Wave;
    if (std::memcmp(head + 8, "RMP3", 4) == 0)
        return RiffForm::Rmp3;
    return RiffForm::Other;
}

std::optional<RiffHeader> readRiffHeader(const FileSpan& file, std::int64_t offset) {
    char header[12];
    const RiffForm form = riffFormOf(header, file.readAt(offset, header, 12));
    if (form == RiffForm::None)
        return std::nullopt;
    const std::int64_t end =
        std::min<std::int64_t>(offset + 8 + std::int64_t(readLe32(header + 4)), file.fileSize());
    return RiffHeader{form, offset + 12, end};
}

std::optional<ChunkSpan> findRiffChunk(const FileSpan& file, const std::array<char, 4>& id) {
    const auto riff = readRiffHeader(file, 0);
    if (!riff)
        return std::nullopt;
    std::optional<ChunkSpan> found;
    forEachRiffChunk(file, riff->chunksBegin, riff->chunksEnd, [&](const RiffChunk& chunk) {
        if (chunk.id == id)
            found = ChunkSpan{chunk.offset, chunk.size};
        return !found;
    });
    return found;
}

} // namespace pelto
