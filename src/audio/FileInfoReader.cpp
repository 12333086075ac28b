#include "audio/FileInfoReader.h"

#include "common/FileSpan.h"
#include "audio/Id3v1.h"
#include "audio/PcmSource.h"
#include "common/RiffChunks.h"
#include "audio/XiphStreams.h"

#include <QByteArray>

namespace pelto {

namespace {

std::optional<ID3TagInfo> tagEndingAt(const FileSpan& file, std::int64_t end) {
    if (end < kId3v1Size)
        return std::nullopt;
    QByteArray bytes(kId3v1Size, '\0');
    if (file.readAt(end - kId3v1Size, bytes.data(), kId3v1Size) != kId3v1Size)
        return std::nullopt;
    return parseId3v1(bytes);
}

// The tag stands at the end of the file; in MPEG wrapped in RIFF it may instead end
// the 'data' chunk, with other chunks after it.
ID3TagInfo readTag(const FileSpan& file) {
    if (auto tag = tagEndingAt(file, file.fileSize()))
        return *tag;
    char head[12] = {};
    if (riffFormOf(head, file.readAt(0, head, sizeof head)) == RiffForm::Rmp3) {
        if (const auto data = findRiffChunk(file, {'d', 'a', 't', 'a'}))
            if (auto tag = tagEndingAt(file, data->offset + data->size))
                return *tag;
    }
    return {};
}

} // namespace

FileInfo readFileInfo(const QString& path) {
    FileInfo info;
    auto file = std::make_unique<FileSpan>();
    if (!file->open(path))
        return info;
    // FLAC, Ogg Vorbis and Opus files carry no version 1 tag: their tags are read as
    // extended tags.
    if (xiphKindOf(*file) == XiphKind::None)
        info.tag = readTag(*file);
    const auto stream = openPcmStream(std::move(file), true);
    if (stream && stream->rate() > 0 && stream->length() > 0)
        info.TotalSec = int(stream->length() / stream->rate());
    return info;
}

} // namespace pelto
