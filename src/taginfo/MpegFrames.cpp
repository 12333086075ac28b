#include "taginfo/MpegFrames.h"

#include <cstring>

namespace pelto {

namespace {

constexpr qint64 kSearchWindow = 64 * 1024;
constexpr qint64 kBlock = 4096;

// Whether the header h, found at file offset `at`, starts a stream of frames; `start`
// is where the audio should begin.
bool framesStartAt(const ByteFile& file, qint64 at, const unsigned char* h, qint64 start) {
    const int length = mpegFrameLength(h);
    if (length == 0)
        return false;
    // A free-format stream is taken on its first header only where the audio should
    // begin; elsewhere such a header is too likely to be chance.
    if (length < 0)
        return at == start;
    const qint64 next = at + length;
    if (next + 4 > file.size())
        return true;
    unsigned char second[4];
    if (file.read(next, reinterpret_cast<char*>(second), 4) != 4)
        return false;
    if (mpegFrameLength(second) != 0 && sameMpegStream(h, second))
        return true;
    // The last frame, followed by a version 1 tag.
    return next + 128 == file.size() && std::memcmp(second, "TAG", 3) == 0;
}

} // namespace

bool findsMpegFrames(const ByteFile& file, qint64 offset) {
    // Audio nearly always starts at once: read small blocks, more only when needed.
    for (qint64 block = 0; block < kSearchWindow; block += kBlock) {
        const QByteArray bytes = file.read(offset + block, kBlock + 3);
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
        for (qsizetype i = 0; i + 4 <= bytes.size() && i < kBlock; ++i) {
            if (p[i] == 0xFF && framesStartAt(file, offset + block + i, p + i, offset))
                return true;
        }
        if (bytes.size() < kBlock + 3)
            return false;
    }
    return false;
}

} // namespace pelto
