#include "audio/Id3v1.h"

#include "common/LegacyText.h"

#include <taglib/id3v1genres.h>

namespace pelto {

namespace {

QString field(QByteArrayView tag, qsizetype offset, qsizetype length) {
    QByteArrayView bytes = tag.sliced(offset, length);
    const qsizetype nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes = bytes.first(nul);
    return decodeLegacyText(bytes);
}

} // namespace

std::optional<ID3TagInfo> parseId3v1(QByteArrayView tag) {
    if (tag.size() != kId3v1Size || !tag.startsWith("TAG"))
        return std::nullopt;
    ID3TagInfo info;
    info.Title = field(tag, 3, 30);
    info.Artist = field(tag, 33, 30);
    info.Album = field(tag, 63, 30);
    info.Year = field(tag, 93, 4);
    info.Comment = field(tag, 97, 30);
    info.Genre = static_cast<unsigned char>(tag[127]);
    info.GenreName = id3GenreName(info.Genre);
    return info;
}

QString id3GenreName(int genre) {
    // TagLib's list, so that a genre number reads the same in the version 1 tag and
    // in a version 2 content-type frame.
    const std::string name = TagLib::ID3v1::genre(genre).to8Bit(true);
    return QString::fromUtf8(name.data(), qsizetype(name.size()));
}

} // namespace pelto
