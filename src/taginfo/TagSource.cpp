#include "taginfo/TagSource.h"

#include "common/Paths.h"
#include "taginfo/ByteFile.h"
#include "taginfo/Id3v2Reader.h"
#include "taginfo/MpegFrames.h"
#include "taginfo/RiffWalker.h"
#include "taginfo/XiphComment.h"

namespace pelto {

namespace {

bool hasMpegExtension(const QString& path) {
    const QString ext = extensionOf(PathSyntax::native().fileName(path));
    return ext == u".mp3" || ext == u".mp2" || ext == u".mp1" || ext == u".rmp";
}

} // namespace

bool TagSource::load(const QString& path) {
    m_type = FileType::Other;
    m_id3v2.reset();
    m_riffSif.reset();
    m_xiph.reset();
    ByteFile file;
    if (!file.open(path))
        return false;
    // FLAC, Ogg Vorbis and Opus are told by their content, whatever the name says.
    if (const XiphKind xiph = xiphKindOf(file.span()); xiph != XiphKind::None) {
        if (xiph == XiphKind::OtherOgg)
            return true;
        m_type = xiph == XiphKind::Flac     ? FileType::Flac
                 : xiph == XiphKind::Vorbis ? FileType::OggVorbis
                                            : FileType::Opus;
        m_xiph = readXiphComment(file, xiph);
        if (!m_xiph && xiph == XiphKind::Flac && id3v2TagSize(file, 0) > 0)
            m_id3v2 = readId3v2(file, 0, {0, file.size()});
        return true;
    }
    // An ID3v2 tag may lead the file; what follows it tells the kind of file.
    const qint64 leadingTag = std::min(id3v2TagSize(file, 0), file.size());
    const RiffContents riff = walkRiff(file, leadingTag);
    if (riff.form == "WAVE") {
        m_type = FileType::Wave;
        return true;
    }
    if (!hasMpegExtension(path))
        return true;
    const bool wrapped = riff.form == "RMP3";
    if (!wrapped && !(riff.form.isEmpty() && findsMpegFrames(file, leadingTag)))
        return true;
    m_type = FileType::MpegAudio;
    if (leadingTag > 0)
        m_id3v2 = readId3v2(file, 0, {0, file.size()});
    if (wrapped) {
        m_riffSif = riff.info;
        // A RIFF-wrapped stream may carry its ID3v2 tag at the start of its audio data
        // or in a chunk of its own.
        if (!m_id3v2 && riff.data.isValid())
            m_id3v2 = readId3v2(file, riff.data.begin, riff.data);
        if (!m_id3v2 && riff.id3.isValid())
            m_id3v2 = readId3v2(file, riff.id3.begin, riff.id3);
    }
    return true;
}

int TagSource::tagTypes() const {
    return (m_id3v2 ? kId3v2 : 0) | (m_riffSif ? kRiffSif : 0) | (m_xiph ? kXiph : 0);
}

QString extTagSuffix(const TagSource& source) {
    switch (source.type()) {
    case TagSource::FileType::Flac:
    case TagSource::FileType::OggVorbis:
    case TagSource::FileType::Opus:
        if (source.tagTypes() & TagSource::kXiph)
            return QStringLiteral("xiph");
        return (source.tagTypes() & TagSource::kId3v2) ? QStringLiteral("v2") : QString();
    case TagSource::FileType::MpegAudio:
        break;
    default:
        return {};
    }
    // An ID3v2 tag wins over RIFF SIF information in the same file.
    if (source.tagTypes() & TagSource::kId3v2)
        return QStringLiteral("v2");
    if (source.tagTypes() & TagSource::kRiffSif)
        return QStringLiteral("rmp");
    return {};
}

std::optional<QString> TagSource::value(QStringView name) const {
    static constexpr const char* kPrefixes[kTagFieldCount] = {"INAM_", "IART_", "IPRD_", "ICMT_",
                                                              "IGNR_", "ICRD_", "TRACK_"};
    for (int i = 0; i < kTagFieldCount; ++i) {
        const QLatin1StringView prefix(kPrefixes[i]);
        if (!name.startsWith(prefix))
            continue;
        const QStringView suffix = name.mid(prefix.size());
        const std::optional<TagValues>* source = suffix == u"v2"     ? &m_id3v2
                                                 : suffix == u"rmp"  ? &m_riffSif
                                                 : suffix == u"xiph" ? &m_xiph
                                                                     : nullptr;
        if (!source || !*source)
            return std::nullopt;
        return (**source)[size_t(i)];
    }
    return std::nullopt;
}

} // namespace pelto
