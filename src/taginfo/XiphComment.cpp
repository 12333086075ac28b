#include "taginfo/XiphComment.h"

#include "taginfo/Id3v2Reader.h"

#include <taglib/flacfile.h>
#include <taglib/id3v2framefactory.h>
#include <taglib/opusfile.h>
#include <taglib/tiostream.h>
#include <taglib/vorbisfile.h>
#include <taglib/xiphcomment.h>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace pelto {

namespace {

// The file as TagLib reads it: read-only, through the span's positioned reads, so that
// TagLib opens nothing itself.
class SpanStream : public TagLib::IOStream {
public:
    explicit SpanStream(const FileSpan& span) : m_span(span) {}

    TagLib::FileName name() const override { return ""; }
    TagLib::ByteVector readBlock(unsigned long length) override {
        const std::int64_t wanted =
            std::clamp<std::int64_t>(m_span.fileSize() - m_pos, 0, std::int64_t(length));
        TagLib::ByteVector bytes(uint(wanted), '\0');
        const std::int64_t got = wanted > 0 ? m_span.readAt(m_pos, bytes.data(), wanted) : 0;
        bytes.resize(uint(std::max<std::int64_t>(got, 0)));
        m_pos += bytes.size();
        return bytes;
    }
    void writeBlock(const TagLib::ByteVector&) override {}
    void insert(const TagLib::ByteVector&, unsigned long, unsigned long) override {}
    void removeBlock(unsigned long, unsigned long) override {}
    bool readOnly() const override { return true; }
    bool isOpen() const override { return m_span.isOpen(); }
    void seek(long offset, Position p) override {
        const std::int64_t base = p == Beginning ? 0 : p == Current ? m_pos : m_span.fileSize();
        m_pos = std::max<std::int64_t>(0, base + offset);
    }
    long tell() const override { return long(m_pos); }
    long length() override { return long(m_span.fileSize()); }
    void truncate(long) override {}

private:
    const FileSpan& m_span;
    std::int64_t m_pos = 0;
};

QString firstValue(const TagLib::Ogg::FieldListMap& fields, const char* key) {
    const auto it = fields.find(key);
    if (it == fields.end() || it->second.isEmpty())
        return {};
    const std::string utf8 = it->second.front().to8Bit(true);
    return capTagText(QString::fromUtf8(utf8.data(), qsizetype(utf8.size())));
}

std::optional<TagValues> valuesOf(const TagLib::Ogg::XiphComment* comment) {
    if (!comment)
        return std::nullopt;
    const TagLib::Ogg::FieldListMap& fields = comment->fieldListMap();
    static constexpr const char* kKeys[] = {"TITLE", "ARTIST", "ALBUM",       "COMMENT",
                                            "GENRE", "DATE",   "TRACKNUMBER", "DESCRIPTION"};
    if (std::none_of(std::begin(kKeys), std::end(kKeys),
                     [&](const char* key) { return fields.contains(key); }))
        return std::nullopt;
    TagValues values;
    valueOf(values, TagField::Title) = firstValue(fields, "TITLE");
    valueOf(values, TagField::Artist) = firstValue(fields, "ARTIST");
    valueOf(values, TagField::Album) = firstValue(fields, "ALBUM");
    valueOf(values, TagField::Comment) = fields.contains("COMMENT")
                                             ? firstValue(fields, "COMMENT")
                                             : firstValue(fields, "DESCRIPTION");
    valueOf(values, TagField::Genre) = firstValue(fields, "GENRE");
    valueOf(values, TagField::Date) = firstValue(fields, "DATE");
    valueOf(values, TagField::Track) = firstValue(fields, "TRACKNUMBER");
    return values;
}

} // namespace

std::optional<TagValues> readXiphComment(const ByteFile& file, XiphKind kind) {
    installTagLibHandlers();
    SpanStream stream(file.span());
    switch (kind) {
    case XiphKind::Flac: {
        TagLib::FLAC::File flac(&stream, TagLib::ID3v2::FrameFactory::instance(), false);
        return flac.isValid() ? valuesOf(flac.xiphComment(false)) : std::nullopt;
    }
    case XiphKind::Vorbis: {
        TagLib::Ogg::Vorbis::File vorbis(&stream, false);
        return vorbis.isValid() ? valuesOf(vorbis.tag()) : std::nullopt;
    }
    case XiphKind::Opus: {
        TagLib::Ogg::Opus::File opus(&stream, false);
        return opus.isValid() ? valuesOf(opus.tag()) : std::nullopt;
    }
    case XiphKind::None:
    case XiphKind::OtherOgg:
        break;
    }
    return std::nullopt;
}

} // namespace pelto
