#pragma once

#include "settings/Settings.h"

#include <QSize>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <variant>

namespace pelto {

// What Pelto.cfg holds: the settings and the playlist row that was current.
struct ConfigValues : Settings {
    int PlayListTrNum = 1;

    bool operator==(const ConfigValues&) const = default;
};

// The kinds of value Pelto.cfg holds, each with the member it is kept in. Reading and
// writing the file (ConfigFile.cpp) and pelto-info's JSON of it go by the kind.

// Where a value is in the file: the one field after its key, or the rest of the key's
// line taken literally (a format string keeps its commas, a separator its blanks).
enum class ValueSpan { Field, RestOfLine };

// A text; on writing, up to its first line break.
struct TextValue {
    QString ConfigValues::*member;
    ValueSpan span = ValueSpan::Field;
};

// A whole number of the member's width: a number rounded halves to even that fits the
// type; any other value leaves the setting.
template <typename T> struct IntegerValue {
    T ConfigValues::*member;
    ValueSpan span = ValueSpan::Field;
};

// A switch: only the value 1 turns it on (sets `on`), any other leaves it; written as 1
// when the member is `on` and 0 otherwise.
template <typename T> struct SwitchValue {
    T ConfigValues::*member;
    T on;
};

// A window edge in twips, set when the file gives one; the file holds pixels (twips
// after a Type 1 header). Unset goes out as 0.
struct PlaceValue {
    std::optional<int> ConfigValues::*member;
};

// One half (0 the width, 1 the height) of a window's size in twips, each below 32768
// twips; the size is set only when the file gave both halves non-zero. Unset goes out
// as the window is laid out, `laidOutPixels`.
struct SizeHalfValue {
    std::optional<QSize> ConfigValues::*member;
    int half;
    int laidOutPixels;
};

// One of the playlist's column widths, a single-precision number of the list view's
// pixels. Unset goes out as the column is laid out, `laidOutWidth`.
struct ColumnWidthValue {
    std::array<std::optional<float>, 4> ConfigValues::*member;
    int column;
    float laidOutWidth;
};

// A line of its own that names the section of the lines below it; no value.
struct SectionLine {};

using SettingsFieldKind =
    std::variant<SectionLine, TextValue, IntegerValue<std::uint8_t>, IntegerValue<std::int16_t>,
                 IntegerValue<int>, SwitchValue<std::uint8_t>, SwitchValue<std::int16_t>,
                 PlaceValue, SizeHalfValue, ColumnWidthValue>;

// One line of Pelto.cfg: the key (for a section line, the whole line) and its kind.
struct SettingsField {
    const char* key;
    SettingsFieldKind kind;
};

// The lines of Pelto.cfg after its header line "[Pelto SaveData Type 2]", in the order
// they are written: every key of the file once.
std::span<const SettingsField> settingsFields();

// The handlers of a std::visit over a kind: one lambda per kind (or a template for
// several).
template <typename... Handlers> struct Overloaded : Handlers... { using Handlers::operator()...; };

} // namespace pelto
