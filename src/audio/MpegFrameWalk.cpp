#include "audio/MpegFrameWalk.h"

#include "common/FileSpan.h"
#include "common/MpegFrameHeader.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace pelto {

namespace {

// The headers are read through a buffer of this size: frames lie back to back, so one
// read serves many headers.
constexpr std::int64_t kBlock = 64 * 1024;

// Whether the bytes at a frame's place begin a tag that may follow the last frame
// (ID3v1, APE, Lyrics3, or an ID3v2 tag appended at the end).
bool startsTrailingTag(const char* bytes, std::int64_t available) {
    const auto begins = [&](const char* text) {
        const auto length = std::int64_t(std::strlen(text));
        return available >= length && std::memcmp(bytes, text, size_t(length)) == 0;
    };
    return begins("TAG") || begins("APETAGEX") || begins("LYRICSBEGIN") || begins("ID3");
}

} // namespace

MpegFrameWalk walkMpegFrames(const FileSpan& span, std::int64_t start) {
    MpegFrameWalk walk;
    if (start < 0)
        return walk;
    const std::int64_t end = span.windowSize();
    const auto buffer = std::make_unique_for_overwrite<char[]>(size_t(kBlock));
    std::int64_t bufferStart = 0;
    std::int64_t bufferFill = 0;
    unsigned char first[4] = {};
    for (std::int64_t pos = start;;) {
        if (pos + 4 > end) {
            walk.complete = true; // the last frame ended at the window's end
            break;
        }
        // Enough bytes at hand for a header or the name of a tag.
        if (pos < bufferStart || pos + 16 > bufferStart + bufferFill) {
            bufferStart = pos;
            bufferFill =
                span.readAt(span.windowBegin() + pos, buffer.get(), std::min(kBlock, end - pos));
            if (bufferFill < 4)
                break;
        }
        const char* at = buffer.get() + (pos - bufferStart);
        const auto* header = reinterpret_cast<const unsigned char*>(at);
        const int length = mpegFrameLength(header);
        if (walk.frames == 0)
            std::memcpy(first, header, 4);
        if (length <= 0 || !sameMpegStream(first, header)) {
            walk.complete =
                walk.frames > 0 && startsTrailingTag(at, bufferStart + bufferFill - pos);
            break;
        }
        if (pos + length > end) {
            walk.complete = true; // a last frame cut short, which does not decode
            break;
        }
        if (mpegBitrateIndex(header) != mpegBitrateIndex(first))
            walk.constantBitrate = false;
        ++walk.frames;
        pos += length;
    }
    return walk;
}

} // namespace pelto
