#include "taginfo/Id3v2Reader.h"

#include "audio/Id3v1.h"
#include "common/LegacyText.h"

#include <taglib/commentsframe.h>
#include <taglib/id3v2tag.h>
#include <taglib/tbytevectorstream.h>
#include <taglib/tdebuglistener.h>
#include <taglib/textidentificationframe.h>
#include <taglib/tfile.h>

#include <cstring>
#include <mutex>

namespace pelto {

namespace {

class LegacyLatin1Handler : public TagLib::ID3v2::Latin1StringHandler {
public:
    TagLib::String parse(const TagLib::ByteVector& data) const override {
        const QString text = decodeLegacyText(QByteArrayView(data.data(), data.size()));
        return TagLib::String(text.toUtf8().constData(), TagLib::String::UTF8);
    }
};

// Damaged tags are ordinary input here; the library need not print about them.
class SilentListener : public TagLib::DebugListener {
public:
    void printMessage(const TagLib::String&) override {}
};

} // namespace

void installTagLibHandlers() {
    static std::once_flag once;
    std::call_once(once, [] {
        static LegacyLatin1Handler latin1;
        static SilentListener silent;
        TagLib::ID3v2::Tag::setLatin1StringHandler(&latin1);
        TagLib::setDebugListener(&silent);
    });
}

namespace {

// The bytes of one ID3v2 tag, seen by the library as a file that holds only that tag.
class TagBytes : public TagLib::File {
public:
    explicit TagBytes(TagLib::IOStream* stream)
        : TagLib::File(stream), m_tag(this, 0, TagLib::ID3v2::FrameFactory::instance()) {}
    TagLib::ID3v2::Tag* tag() const override { return const_cast<TagLib::ID3v2::Tag*>(&m_tag); }
    TagLib::AudioProperties* audioProperties() const override { return nullptr; }
    bool save() override { return false; }

private:
    TagLib::ID3v2::Tag m_tag;
};

QString toQString(const TagLib::String& text) {
    const std::string utf8 = text.to8Bit(true);
    return capTagText(QString::fromUtf8(utf8.data(), qsizetype(utf8.size())));
}

const TagLib::ID3v2::Frame* firstFrame(const TagLib::ID3v2::Tag& tag, const char* id) {
    const TagLib::ID3v2::FrameList& frames = tag.frameListMap()[id];
    return frames.isEmpty() ? nullptr : frames.front();
}

// The first value of a text frame: a frame may hold several, separated by NULs.
TagLib::String firstValue(const TagLib::ID3v2::Frame* frame) {
    if (!frame)
        return {};
    if (const auto* text = dynamic_cast<const TagLib::ID3v2::TextIdentificationFrame*>(frame)) {
        const TagLib::StringList fields = text->fieldList();
        return fields.isEmpty() ? TagLib::String() : fields.front();
    }
    return frame->toString();
}

QString textValue(const TagLib::ID3v2::Tag& tag, const char* id) {
    return toQString(firstValue(firstFrame(tag, id)));
}

// The first genre of the content-type frame, with a genre number (plain, as
// version 2.4 writes it, or in parentheses, as older versions do) given by its name.
// A name after the parenthesis refines the number and wins.
QString genreValue(const TagLib::ID3v2::Tag& tag) {
    const auto* frame =
        dynamic_cast<const TagLib::ID3v2::TextIdentificationFrame*>(firstFrame(tag, "TCON"));
    if (!frame)
        return {};
    for (TagLib::String genre : frame->fieldList()) {
        if (genre.isEmpty())
            continue;
        const int close = genre.find(")");
        if (genre.startsWith("(") && close > 1) {
            const TagLib::String refinement = genre.substr(uint(close) + 1);
            if (!refinement.isEmpty())
                return toQString(refinement);
            genre = genre.substr(1, uint(close) - 1);
        }
        bool number = false;
        const int index = genre.toInt(&number);
        if (number && index >= 0 && index <= 255) {
            const QString name = id3GenreName(index);
            if (!name.isEmpty())
                return name;
        }
        return toQString(genre);
    }
    return {};
}

// The first comment frame's text, whatever its description or language.
QString commentValue(const TagLib::ID3v2::Tag& tag) {
    const auto* frame = dynamic_cast<const TagLib::ID3v2::CommentsFrame*>(firstFrame(tag, "COMM"));
    return frame ? toQString(frame->text()) : QString();
}

// The recording time (version 2.4) or the year (older versions; the library gives
// both under the recording-time frame).
QString dateValue(const TagLib::ID3v2::Tag& tag) {
    QString date = textValue(tag, "TDRC");
    if (date.isEmpty())
        date = textValue(tag, "TYER");
    return date;
}

// A version 2.3 extended header is skipped by the wrong count in TagLib 1.13 (it takes
// the size as version 2.4 gives it, counting the header itself, where version 2.3
// counts only what follows the size), so every frame after it is lost. The tag goes to
// the parser without it: its bytes dropped, the flag cleared and the tag size reduced
// to match. In an unsynchronised tag the header is unsynchronised too: a 0x00 that
// follows 0xFF is not part of it, but its raw bytes go with it.
void dropVersion23ExtendedHeader(TagLib::ByteVector& tag) {
    constexpr uint kHeader = 10;
    constexpr char kUnsynchronised = char(0x80), kExtended = 0x40;
    if (tag.size() < kHeader || tag[3] != 3 || !(tag[5] & kExtended))
        return;
    const bool unsynchronised = tag[5] & kUnsynchronised;
    uint raw = kHeader;
    qint64 size = 0;
    qint64 taken = 0;
    unsigned char previous = 0;
    while (raw < tag.size() && (taken < 4 || taken < 4 + size)) {
        const auto byte = static_cast<unsigned char>(tag[raw++]);
        if (unsynchronised && previous == 0xFF && byte == 0) {
            previous = 0;
            continue;
        }
        if (taken < 4)
            size = size << 8 | byte;
        ++taken;
        previous = byte;
    }
    if (taken < 4 || taken < 4 + size)
        return; // cut short: leave the tag as it is
    if (unsynchronised && previous == 0xFF && raw < tag.size() && tag[raw] == 0)
        ++raw;
    const uint dropped = raw - kHeader;
    const TagLib::ByteVector declared = tag.mid(6, 4);
    quint32 tagSize = 0;
    for (const char b : declared)
        tagSize = tagSize << 7 | (static_cast<unsigned char>(b) & 0x7F);
    tagSize = tagSize > dropped ? tagSize - dropped : 0;
    TagLib::ByteVector without = tag.mid(0, kHeader);
    without[5] = char(without[5] & ~kExtended);
    for (int i = 0; i < 4; ++i)
        without[uint(6 + i)] = char((tagSize >> (7 * (3 - i))) & 0x7F);
    without.append(tag.mid(raw));
    tag = without;
}

} // namespace

qint64 id3v2TagSize(const ByteFile& file, qint64 offset) {
    unsigned char h[10];
    if (file.read(offset, reinterpret_cast<char*>(h), 10) != 10)
        return 0;
    if (std::memcmp(h, "ID3", 3) != 0 || h[3] < 2 || h[3] > 4 || h[4] == 0xFF)
        return 0;
    qint64 size = 0;
    for (int i = 6; i < 10; ++i) {
        if (h[i] & 0x80)
            return 0;
        size = size << 7 | h[i];
    }
    const bool footer = h[3] == 4 && (h[5] & 0x10);
    return 10 + size + (footer ? 10 : 0);
}

std::optional<TagValues> readId3v2(const ByteFile& file, qint64 offset, const ByteRange& limit) {
    const qint64 complete = id3v2TagSize(file, offset);
    if (complete == 0)
        return std::nullopt;
    installTagLibHandlers();
    // Only the tag's own bytes go to the parser: a size that claims more than the
    // file (or the chunk) holds is cut there.
    const qint64 length = std::min(complete, limit.end - offset);
    TagLib::ByteVector bytes(uint(length), '\0');
    bytes.resize(uint(file.read(offset, bytes.data(), length)));
    dropVersion23ExtendedHeader(bytes);
    TagLib::ByteVectorStream stream(bytes);
    const TagBytes parsed(&stream);
    const TagLib::ID3v2::Tag* tag = parsed.tag();
    TagValues values;
    valueOf(values, TagField::Title) = textValue(*tag, "TIT2");
    valueOf(values, TagField::Artist) = textValue(*tag, "TPE1");
    valueOf(values, TagField::Album) = textValue(*tag, "TALB");
    valueOf(values, TagField::Comment) = commentValue(*tag);
    valueOf(values, TagField::Genre) = genreValue(*tag);
    valueOf(values, TagField::Date) = dateValue(*tag);
    valueOf(values, TagField::Track) = textValue(*tag, "TRCK");
    return values;
}

} // namespace pelto
