#include "settings/ConfigFile.h"

#include "common/FieldReader.h"
#include "common/LegacyText.h"
#include "common/Numbers.h"
#include "common/SaveFile.h"
#include "common/Twips.h"
#include "settings/SettingsFields.h"

#include <QStringList>

#include <charconv>
#include <cmath>
#include <limits>
#include <type_traits>

namespace pelto {

namespace {

// The first line of the file; after it, places are in pixels. A file that has the Type 1
// line before its places holds them in twips.
const char kHeader[] = "[Pelto SaveData Type 2]";
const char kTwipsHeader[] = "[Pelto SaveData Type 1]";

// A playlist window size is handed to the window's layout as a 16-bit twips value.
constexpr int kSizeLimitTwips = 32768;

template <typename T> std::optional<T> parseInteger(QStringView text) {
    if constexpr (std::is_same_v<T, std::uint8_t>)
        return parseUInt8(text);
    else if constexpr (std::is_same_v<T, std::int16_t>)
        return parseInt16(text);
    else
        return parseInt32(text);
}

template <typename T, typename V> void setIf(T& target, const std::optional<V>& value) {
    if (value)
        target = *value;
}

// One reading of the file: the reader, what it fills, and the state between keys.
struct ConfigReading {
    FieldReader& in;
    ConfigValues& values;
    // Whether a Type 1 header line came last: places are in twips, otherwise in pixels.
    bool twips = false;
    // The halves of a window size, applied only when the file gave both non-zero.
    std::optional<QSize> ConfigValues::*sizeMember = nullptr;
    int pendingSize[2] = {0, 0};

    std::optional<QString> value(ValueSpan span) {
        if (span == ValueSpan::RestOfLine)
            return in.readLineValue();
        return in.readField();
    }
    // A window place or size: a whole number of twips (Type 1) or pixels.
    std::optional<int> length() {
        const auto n = parseInt32(in.readField());
        if (!n)
            return std::nullopt;
        const std::int64_t t = twips ? *n : std::int64_t(*n) * kTwipsPerPixel;
        if (t < std::numeric_limits<int>::min() || t > std::numeric_limits<int>::max())
            return std::nullopt;
        return int(t);
    }

    void read(const SettingsField& field) {
        std::visit(Overloaded{
                       [](const SectionLine&) {},
                       [&](const TextValue& f) { setIf(values.*f.member, value(f.span)); },
                       [&]<typename T>(const IntegerValue<T>& f) {
                           if (const auto text = value(f.span))
                               setIf(values.*f.member, parseInteger<T>(*text));
                       },
                       [&]<typename T>(const SwitchValue<T>& f) {
                           if (parseInt16(in.readField()) == std::int16_t(1))
                               values.*f.member = f.on;
                       },
                       [&](const PlaceValue& f) { setIf(values.*f.member, length()); },
                       [&](const SizeHalfValue& f) {
                           const auto t = length();
                           sizeMember = f.member;
                           if (t && *t >= 0 && *t < kSizeLimitTwips)
                               pendingSize[f.half] = *t;
                       },
                       [&](const ColumnWidthValue& f) {
                           const auto width = parseNumber(in.readField());
                           if (width &&
                               std::abs(*width) <= double(std::numeric_limits<float>::max()))
                               (values.*f.member)[size_t(f.column)] = float(*width);
                       },
                   },
                   field.kind);
    }
    void finish() {
        if (sizeMember && pendingSize[0] != 0 && pendingSize[1] != 0)
            values.*sizeMember = QSize(pendingSize[0], pendingSize[1]);
    }
};

const SettingsField* fieldFor(const QString& key) {
    for (const SettingsField& field : settingsFields())
        if (key == QLatin1String(field.key))
            return &field;
    return nullptr;
}

// A single-precision number in its shortest decimal form, without an exponent.
QString shortestSingle(float value) {
    if (value == 0)
        value = 0; // no "-0"
    char text[64];
    const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed).ptr;
    return QString::fromLatin1(text, end - text);
}

// A text as one entry can hold it: up to its first line break, which would end the
// entry and make the rest of the text entries of its own.
QString oneLine(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i)
        if (text[i] == u'\r' || text[i] == u'\n')
            return text.left(i);
    return text;
}

// A place in twips as the file stores it: the single-precision number of pixels
// nearest to it.
QString pixelsOf(int twips) {
    return shortestSingle(float(double(twips) / kTwipsPerPixel));
}

// The value of one field as SaveConfig writes it.
QString valueText(const SettingsFieldKind& kind, const ConfigValues& v) {
    return std::visit(
        Overloaded{
            [](const SectionLine&) { return QString(); },
            [&](const TextValue& f) { return oneLine(v.*f.member); },
            [&]<typename T>(const IntegerValue<T>& f) { return QString::number(v.*f.member); },
            [&]<typename T>(const SwitchValue<T>& f) {
                return QString::number(int(v.*f.member == f.on));
            },
            [&](const PlaceValue& f) { return pixelsOf((v.*f.member).value_or(0)); },
            [&](const SizeHalfValue& f) {
                const auto& size = v.*f.member;
                if (!size)
                    return shortestSingle(float(f.laidOutPixels));
                return pixelsOf(f.half == 0 ? size->width() : size->height());
            },
            [&](const ColumnWidthValue& f) {
                return shortestSingle((v.*f.member)[size_t(f.column)].value_or(f.laidOutWidth));
            },
        },
        kind);
}

QString lineOf(const SettingsField& field, const ConfigValues& v) {
    if (std::holds_alternative<SectionLine>(field.kind))
        return QLatin1String(field.key);
    return QLatin1String(field.key) + u',' + valueText(field.kind, v);
}

} // namespace

QString configFilePath(const QString& programFolder) {
    return programFolder + QStringLiteral("Pelto.cfg");
}

void LoadConfig(FieldReader& reader, Settings& settings, int& playListTrNum) {
    ConfigValues values{settings, playListTrNum};
    ConfigReading reading{reader, values};
    while (!reader.atEnd()) {
        const QString key = reader.readField();
        if (key == QLatin1String(kTwipsHeader) || key == QLatin1String(kHeader))
            reading.twips = key == QLatin1String(kTwipsHeader);
        else if (const SettingsField* field = fieldFor(key))
            reading.read(*field);
    }
    reading.finish();
    settings = values;
    playListTrNum = values.PlayListTrNum;
}

ReadOutcome LoadConfig(const QString& path, Settings& settings, int& playListTrNum) {
    FileContents file = readWholeFile(path, kMaxConfigFileBytes);
    if (file.status == FileStatus::Read) {
        FieldReader reader(std::move(file.bytes));
        LoadConfig(reader, settings, playListTrNum);
    }
    return file;
}

QByteArray configText(const Settings& settings, int playListTrNum) {
    const ConfigValues values{settings, playListTrNum};
    QStringList lines{QLatin1String(kHeader)};
    for (const SettingsField& field : settingsFields())
        lines.append(lineOf(field, values));
    return encodeLinesCrLf(lines);
}

bool SaveConfig(const QString& path, const Settings& settings, int playListTrNum) {
    return writeFileAtomically(path, configText(settings, playListTrNum));
}

} // namespace pelto
