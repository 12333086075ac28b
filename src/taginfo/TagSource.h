#pragma once

#include "taginfo/TagValues.h"

#include <QString>

#include <optional>

namespace pelto {

// Reads what a file holds of extended tag information: the kind of file, which tags it
// carries, and their values by name. One object reads one file; objects share nothing,
// so separate threads may each use their own.
class TagSource {
public:
    enum class FileType { Other = 0, MpegAudio = 1, Wave = 2, Flac = 3, OggVorbis = 4, Opus = 5 };
    // Bits of tagTypes().
    static constexpr int kId3v2 = 2;
    static constexpr int kRiffSif = 4;
    static constexpr int kXiph = 8; // a Vorbis comment (FLAC, Ogg Vorbis, Opus)

    // Opens and analyses the file; false when it cannot be opened. A file of an unknown
    // kind loads and reports FileType::Other.
    bool load(const QString& path);

    FileType type() const { return m_type; }
    int tagTypes() const;

    // A value by name: one of "INAM_", "IART_", "IPRD_", "ICMT_", "IGNR_", "ICRD_",
    // "TRACK_" followed by "v2" (the ID3v2 tag), "rmp" (the RIFF SIF information) or
    // "xiph" (the Vorbis comment of a FLAC, Ogg Vorbis or Opus file).
    // A value the tag lacks is an empty text; None for an unknown name or a tag the
    // file does not carry.
    std::optional<QString> value(QStringView name) const;

private:
    FileType m_type = FileType::Other;
    std::optional<TagValues> m_id3v2;
    std::optional<TagValues> m_riffSif;
    std::optional<TagValues> m_xiph;
};

// The suffix of the tag ReadExtTag reads from a loaded source: for MPEG audio "v2" when
// it has an ID3v2 tag, else "rmp" when it has RIFF SIF information; for FLAC "xiph"
// when its Vorbis comment holds any of the fields, else "v2" when an ID3v2 tag leads
// it; for Ogg Vorbis and Opus "xiph" when the comment holds any of them; else empty
// (no extended fields).
QString extTagSuffix(const TagSource& source);

} // namespace pelto
