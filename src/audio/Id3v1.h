#pragma once

#include "audio/ID3TagInfo.h"

#include <QByteArrayView>
#include <QString>

#include <optional>

namespace pelto {

// The version 1 ID3 tag: the last 128 bytes of a file, beginning with "TAG".
inline constexpr int kId3v1Size = 128;

// The fields of a 128-byte ID3v1 tag, or nothing when the bytes are not one. Each
// text is cut at its first NUL and decoded as legacy text, untrimmed; an ID3v1.1
// track number in the comment's last bytes ends the comment at its NUL.
std::optional<ID3TagInfo> parseId3v1(QByteArrayView tag);

// The name of an ID3v1 genre number in the standard list with its common extensions
// (0 "Blues" to 191 "Psybient"); empty for numbers outside the list (255 = none).
// Version 2 tags that give a genre by number use the same list.
QString id3GenreName(int genre);

} // namespace pelto
