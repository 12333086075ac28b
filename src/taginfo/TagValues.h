#pragma once

#include <QString>

#include <array>

namespace pelto {

// The seven extended values a tag source delivers, in the order ReadExtTag asks for them.
enum class TagField { Title, Artist, Album, Comment, Genre, Date, Track };
constexpr int kTagFieldCount = 7;
using TagValues = std::array<QString, kTagFieldCount>;

inline QString& valueOf(TagValues& values, TagField field) {
    return values[size_t(field)];
}

// The longest tag text kept, in UTF-16 code units; longer texts are cut there.
constexpr qsizetype kMaxTagText = 64 * 1024;

// A tag text cut to kMaxTagText (never between the halves of a surrogate pair).
QString capTagText(QString text);

} // namespace pelto
