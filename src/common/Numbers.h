#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace pelto {

// Numbers as the program's text files hold them: decimal (with an optional sign,
// fraction and exponent) or hexadecimal after "&H", with blanks around allowed.
// Hexadecimal of up to four digits is a 16-bit pattern and of up to eight digits a
// 32-bit pattern, so "&HFFFF" is -1 as it was for the tools that wrote these files.
// Anything else is not a number (nullopt); nothing throws.
std::optional<double> parseNumber(QStringView text);

// Rounds to the nearest whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
double roundHalfEven(double value);

// A number rounded to a whole number and narrowed; nullopt when the text is not a
// number or the rounded value does not fit the type.
std::optional<std::int32_t> parseInt32(QStringView text);
std::optional<std::int16_t> parseInt16(QStringView text);
std::optional<std::uint8_t> parseUInt8(QStringView text);

// The same narrowing for a value already read.
std::optional<std::int16_t> toInt16(double value);

} // namespace pelto
