#include "taginfo/RiffWalker.h"

#include "common/LegacyText.h"

#include <cstring>

namespace pelto {

namespace {

// Walks do not go on for ever in a file of empty chunks.
constexpr int kMaxChunks = 10000;

// Enough bytes for kMaxTagText characters in any of the single-byte encodings read.
constexpr qint64 kMaxTextBytes = 3 * kMaxTagText;

struct Chunk {
    char id[4];
    ByteRange body;
    qint64 next; // where the following chunk starts (bodies are padded to even length)
};

// Calls visit(chunk) for each chunk in [begin, end) until it returns false.
template <typename Visit>
void forEachChunk(const ByteFile& file, qint64 begin, qint64 end, Visit visit) {
    qint64 pos = begin;
    for (int count = 0; count < kMaxChunks && pos + 8 <= end; ++count) {
        char header[8];
        if (file.read(pos, header, 8) != 8)
            return;
        Chunk chunk;
        std::memcpy(chunk.id, header, 4);
        const qint64 size = readLe32(header + 4);
        chunk.body = {pos + 8, std::min(pos + 8 + size, end)};
        chunk.next = pos + 8 + size + (size & 1);
        if (!visit(chunk))
            return;
        pos = chunk.next;
    }
}

bool idIs(const Chunk& chunk, const char* id) {
    return std::memcmp(chunk.id, id, 4) == 0;
}

// The text of an INFO item: up to its first NUL, decoded as legacy text, capped.
QString infoText(const ByteFile& file, const ByteRange& body) {
    const qint64 length = body.end - body.begin;
    QByteArray bytes = file.read(body.begin, std::min(length, kMaxTextBytes));
    const qsizetype nul = bytes.indexOf('\0');
    if (nul >= 0) {
        bytes.truncate(nul);
    } else if (length > kMaxTextBytes) {
        // Cut inside a long text: drop a character the cut may have split, so that
        // the rest still decodes in its own encoding.
        qsizetype keep = bytes.size();
        while (keep > 0 && bytes.size() - keep < 3 && (uchar(bytes[keep - 1]) & 0xC0) == 0x80)
            --keep;
        if (keep > 0 && uchar(bytes[keep - 1]) >= 0x80)
            --keep;
        bytes.truncate(keep);
    }
    return capTagText(decodeLegacyText(bytes));
}

// The INFO items that feed the extended fields; the track number is "ITRK", or "IPRT"
// (the part number) where a file has only that.
TagValues readInfoList(const ByteFile& file, const ByteRange& list) {
    static constexpr std::pair<const char*, TagField> kItems[] = {
        {"INAM", TagField::Title},   {"IART", TagField::Artist}, {"IPRD", TagField::Album},
        {"ICMT", TagField::Comment}, {"IGNR", TagField::Genre},  {"ICRD", TagField::Date},
        {"ITRK", TagField::Track}};
    TagValues values;
    std::array<bool, kTagFieldCount> seen{};
    QString part;
    bool seenPart = false;
    forEachChunk(file, list.begin, list.end, [&](const Chunk& item) {
        for (const auto& [id, field] : kItems) {
            if (idIs(item, id) && !seen[size_t(field)]) {
                seen[size_t(field)] = true;
                valueOf(values, field) = infoText(file, item.body);
            }
        }
        if (idIs(item, "IPRT") && !seenPart) {
            seenPart = true;
            part = infoText(file, item.body);
        }
        return true;
    });
    if (!seen[size_t(TagField::Track)])
        valueOf(values, TagField::Track) = part;
    return values;
}

} // namespace

RiffContents walkRiff(const ByteFile& file, qint64 offset) {
    RiffContents contents;
    char header[12];
    if (file.read(offset, header, 12) != 12 || std::memcmp(header, "RIFF", 4) != 0)
        return contents;
    contents.form = QByteArray(header + 8, 4);
    if (contents.form != "RMP3")
        return contents;
    const qint64 end = std::min(offset + 8 + qint64(readLe32(header + 4)), file.size());
    forEachChunk(file, offset + 12, end, [&](const Chunk& chunk) {
        if (idIs(chunk, "data") && !contents.data.isValid()) {
            contents.data = chunk.body;
        } else if ((idIs(chunk, "id3 ") || idIs(chunk, "ID3 ")) && !contents.id3.isValid()) {
            contents.id3 = chunk.body;
        } else if (idIs(chunk, "LIST") && !contents.info) {
            char type[4];
            if (chunk.body.end - chunk.body.begin >= 4 &&
                file.read(chunk.body.begin, type, 4) == 4 && std::memcmp(type, "INFO", 4) == 0)
                contents.info = readInfoList(file, {chunk.body.begin + 4, chunk.body.end});
        }
        // A chunk that runs past the end of the RIFF data ends the walk.
        return chunk.next <= end;
    });
    return contents;
}

} // namespace pelto
