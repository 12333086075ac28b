#include "taginfo/RiffWalker.h"

#include "common/LegacyText.h"
#include "common/RiffChunks.h"

#include <cstring>

namespace pelto {

namespace {

// Enough bytes for kMaxTagText characters in any of the single-byte encodings read.
constexpr qint64 kMaxTextBytes = 3 * kMaxTagText;

ByteRange bodyOf(const RiffChunk& chunk) {
    return {chunk.offset, chunk.offset + chunk.size};
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
    forEachRiffChunk(file.span(), list.begin, list.end, [&](const RiffChunk& item) {
        for (const auto& [id, field] : kItems) {
            if (item.is(id) && !seen[size_t(field)]) {
                seen[size_t(field)] = true;
                valueOf(values, field) = infoText(file, bodyOf(item));
            }
        }
        if (item.is("IPRT") && !seenPart) {
            seenPart = true;
            part = infoText(file, bodyOf(item));
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
    const auto riff = readRiffHeader(file.span(), offset);
    if (!riff)
        return contents;
    char form[4];
    file.read(offset + 8, form, 4);
    contents.form = QByteArray(form, 4);
    if (riff->form != RiffForm::Rmp3)
        return contents;
    forEachRiffChunk(file.span(), riff->chunksBegin, riff->chunksEnd, [&](const RiffChunk& chunk) {
        if (chunk.is("data") && !contents.data.isValid()) {
            contents.data = bodyOf(chunk);
        } else if ((chunk.is("id3 ") || chunk.is("ID3 ")) && !contents.id3.isValid()) {
            contents.id3 = bodyOf(chunk);
        } else if (chunk.is("LIST") && !contents.info) {
            char type[4];
            if (chunk.size >= 4 && file.read(chunk.offset, type, 4) == 4 &&
                std::memcmp(type, "INFO", 4) == 0)
                contents.info = readInfoList(file, {chunk.offset + 4, chunk.offset + chunk.size});
        }
        return true;
    });
    return contents;
}

} // namespace pelto
