#include "audio/XiphStreams.h"

#include "audio/SndfileStream.h"
#include "audio/VorbisStream.h"
#include "common/FileSpan.h"

#include <cstring>

namespace pelto {

namespace {

// The size of an ID3v2 tag at the file's start (header, body and footer), 0 when
// none begins it.
std::int64_t leadingId3v2Size(const FileSpan& file) {
    unsigned char h[10] = {};
    if (file.readAt(0, h, sizeof h) != sizeof h || std::memcmp(h, "ID3", 3) != 0 || h[3] == 0xFF ||
        h[4] == 0xFF || ((h[6] | h[7] | h[8] | h[9]) & 0x80))
        return 0;
    const std::int64_t body = (std::int64_t(h[6]) << 21) | (h[7] << 14) | (h[8] << 7) | h[9];
    return 10 + body + ((h[5] & 0x10) ? 10 : 0);
}

} // namespace

std::int64_t flacStreamStart(const FileSpan& file) {
    const std::int64_t start = leadingId3v2Size(file);
    char magic[4] = {};
    if (file.readAt(start, magic, 4) == 4 && std::memcmp(magic, "fLaC", 4) == 0)
        return start;
    return -1;
}

XiphKind xiphKindOf(const FileSpan& file) {
    const std::int64_t begin = file.windowBegin();
    unsigned char page[27 + 255 + 8] = {};
    const std::int64_t got = file.readAt(begin, page, sizeof page);
    if (got >= 4 && std::memcmp(page, "fLaC", 4) == 0)
        return XiphKind::Flac;
    if (got >= 3 && std::memcmp(page, "ID3", 3) == 0 && begin == 0 && flacStreamStart(file) > 0)
        return XiphKind::Flac;
    // The first page of an Ogg stream: its header, its segment table, then the first
    // packet, which names the codec.
    if (got < 27 || std::memcmp(page, "OggS", 4) != 0 || page[4] != 0)
        return XiphKind::None;
    const std::int64_t packet = 27 + page[26];
    if (got >= packet + 8 && std::memcmp(page + packet, "OpusHead", 8) == 0)
        return XiphKind::Opus;
    if (got >= packet + 7 && std::memcmp(page + packet, "\x01vorbis", 7) == 0)
        return XiphKind::Vorbis;
    return XiphKind::OtherOgg;
}

std::unique_ptr<PcmStream> openXiphStream(std::unique_ptr<FileSpan> file, XiphKind kind,
                                          bool lengthOnly) {
    switch (kind) {
    case XiphKind::Flac: {
        const std::int64_t start = flacStreamStart(*file);
        if (start < 0)
            return nullptr;
        // libsndfile sees the FLAC stream alone, without the tag before it.
        if (start > 0)
            file->setWindow(start, file->fileSize());
        auto flac = std::make_unique<SndfileStream>();
        if (flac->open(std::move(file), SndfileStream::Format::Flac, lengthOnly))
            return flac;
        return nullptr;
    }
    case XiphKind::Vorbis: {
        auto vorbis = std::make_unique<VorbisStream>();
        if (vorbis->open(std::move(file)))
            return vorbis;
        return nullptr;
    }
    case XiphKind::Opus: {
        auto opus = std::make_unique<SndfileStream>();
        if (opus->open(std::move(file), SndfileStream::Format::Opus, lengthOnly))
            return opus;
        return nullptr;
    }
    case XiphKind::None:
    case XiphKind::OtherOgg:
        break;
    }
    return nullptr;
}

} // namespace pelto
