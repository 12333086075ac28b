#include "settings/ConfigFile.h"

#include "common/FieldReader.h"
#include "common/LegacyText.h"
#include "common/SaveFile.h"
#include "common/Numbers.h"
#include "common/Twips.h"

#include <QStringList>

#include <charconv>
#include <cmath>
#include <limits>

namespace pelto {

namespace {

// A playlist window size is handed to the window's layout as a 16-bit twips value.
constexpr int kSizeLimitTwips = 32768;

// One reading of the file: the reader, what it fills, and the state between keys.
struct ConfigReading {
    FieldReader& in;
    Settings& settings;
    std::int16_t& playListTrNum;
    // 1 after a Type 1 header line: places are in twips; otherwise in pixels.
    int ConfigType = 0;
    // The playlist window size, applied only when the file gave both halves non-zero.
    int pendingWidth = 0;
    int pendingHeight = 0;

    // A window place or size: a whole number of twips (Type 1) or pixels.
    std::optional<int> length() {
        const auto n = parseInt32(in.readField());
        if (!n)
            return std::nullopt;
        const std::int64_t twips = ConfigType == 1 ? *n : std::int64_t(*n) * kTwipsPerPixel;
        if (twips < std::numeric_limits<int>::min() || twips > std::numeric_limits<int>::max())
            return std::nullopt;
        return int(twips);
    }
    std::optional<int> size() {
        const auto twips = length();
        if (!twips || *twips < 0 || *twips >= kSizeLimitTwips)
            return std::nullopt;
        return twips;
    }
    // A switch that only the value 1 turns on; any other value leaves it.
    bool valueIsOne() { return parseInt16(in.readField()) == std::int16_t(1); }
    std::optional<QString> restOfLine() { return in.readLineValue(); }
};

using KeyAction = void (*)(ConfigReading&);

struct Key {
    const char* name;
    KeyAction action;
};

template <typename T, typename V> void setIf(T& target, const std::optional<V>& value) {
    if (value)
        target = *value;
}

template <int Column> void readColumnWidth(ConfigReading& r) {
    const auto width = parseNumber(r.in.readField());
    if (width && std::abs(*width) <= double(std::numeric_limits<float>::max()))
        r.settings.PlayListView_ItemSize[Column] = float(*width);
}

template <int Line> void readTagInfo(ConfigReading& r) {
    const auto text = r.restOfLine();
    if (!text)
        return;
    QString* target[] = {&r.settings.TagInfo1, &r.settings.TagInfo2, &r.settings.TagInfo3};
    *target[Line] = *text;
}

const Key kKeys[] = {
    {"[Pelto SaveData Type 1]", [](ConfigReading& r) { r.ConfigType = 1; }},
    {"[Pelto SaveData Type 2]", [](ConfigReading& r) { r.ConfigType = 2; }},
    {"MainPlayer_X", [](ConfigReading& r) { setIf(r.settings.MainPlayer_X, r.length()); }},
    {"MainPlayer_Y", [](ConfigReading& r) { setIf(r.settings.MainPlayer_Y, r.length()); }},
    {"PlayList_X", [](ConfigReading& r) { setIf(r.settings.PlayList_X, r.length()); }},
    {"PlayList_Y", [](ConfigReading& r) { setIf(r.settings.PlayList_Y, r.length()); }},
    {"PlayList_SizeX", [](ConfigReading& r) { setIf(r.pendingWidth, r.size()); }},
    {"PlayList_SizeY", [](ConfigReading& r) { setIf(r.pendingHeight, r.size()); }},
    {"PlayListView_Item(1)Size", readColumnWidth<0>},
    {"PlayListView_Item(2)Size", readColumnWidth<1>},
    {"PlayListView_Item(3)Size", readColumnWidth<2>},
    {"PlayListView_Item(4)Size", readColumnWidth<3>},
    {"AlwaysTop",
     [](ConfigReading& r) {
         if (r.valueIsOne())
             r.settings.AlwaysTop = 1;
     }},
    {"AlwaysTopPlaylist",
     [](ConfigReading& r) {
         if (r.valueIsOne())
             r.settings.AlwaysTopPlaylist = 1;
     }},
    {"TagInfo1", readTagInfo<0>},
    {"TagInfo2", readTagInfo<1>},
    {"TagInfo3", readTagInfo<2>},
    {"TagInfoScroll", [](ConfigReading& r) { setIf(r.settings.TagInfoScroll, r.restOfLine()); }},
    {"UseSkinTag",
     [](ConfigReading& r) {
         if (const auto line = r.restOfLine())
             setIf(r.settings.UseSkinTag, parseUInt8(*line));
     }},
    {"WavVolume",
     [](ConfigReading& r) { setIf(r.settings.WavVolume, parseInt16(r.in.readField())); }},
    {"SavePlayList",
     [](ConfigReading& r) { setIf(r.settings.SavePlayList, parseUInt8(r.in.readField())); }},
    {"AutoScrollPlayList",
     [](ConfigReading& r) { setIf(r.settings.AutoScrollPlayList, parseUInt8(r.in.readField())); }},
    {"RepeatPlay",
     [](ConfigReading& r) {
         if (r.valueIsOne())
             r.settings.RepeatPlay = 1;
     }},
    {"PlayListTrNum",
     [](ConfigReading& r) { setIf(r.playListTrNum, parseInt16(r.in.readField())); }},
    {"PlayList_Visible",
     [](ConfigReading& r) {
         if (r.valueIsOne())
             r.settings.PlayList_Visible = -1;
     }},
    {"Skin_FilePath", [](ConfigReading& r) { r.settings.Skin_FilePath = r.in.readField(); }},
};

KeyAction actionFor(const QString& key) {
    for (const Key& k : kKeys)
        if (key == QLatin1String(k.name))
            return k.action;
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

} // namespace

QString configFilePath(const QString& programFolder) {
    return programFolder + QStringLiteral("Pelto.cfg");
}

void LoadConfig(FieldReader& reader, Settings& settings, std::int16_t& playListTrNum) {
    ConfigReading reading{reader, settings, playListTrNum};
    while (!reader.atEnd())
        if (const KeyAction action = actionFor(reader.readField()))
            action(reading);
    if (reading.pendingWidth != 0 && reading.pendingHeight != 0)
        settings.PlayList_Size = QSize(reading.pendingWidth, reading.pendingHeight);
}

bool LoadConfig(const QString& path, Settings& settings, std::int16_t& playListTrNum) {
    auto reader = FieldReader::fromFile(path);
    if (!reader)
        return false;
    LoadConfig(*reader, settings, playListTrNum);
    return true;
}

QByteArray configText(const Settings& s, std::int16_t playListTrNum) {
    const QSize playListSize = s.PlayList_Size.value_or(QSize(
        pixelsToTwips(kPlayListDesignSize.width()), pixelsToTwips(kPlayListDesignSize.height())));
    auto entry = [](const char* key, const QString& value) {
        return QLatin1String(key) + u',' + oneLine(value);
    };
    auto number = [](int value) { return QString::number(value); };
    auto column = [&](int i) {
        return shortestSingle(
            s.PlayListView_ItemSize[size_t(i)].value_or(kPlayListColumnWidths[size_t(i)]));
    };
    const QStringList lines{
        QStringLiteral("[Pelto SaveData Type 2]"),
        QStringLiteral("--- Windows Position ---"),
        entry("MainPlayer_X", pixelsOf(s.MainPlayer_X.value_or(0))),
        entry("MainPlayer_Y", pixelsOf(s.MainPlayer_Y.value_or(0))),
        entry("PlayList_X", pixelsOf(s.PlayList_X.value_or(0))),
        entry("PlayList_Y", pixelsOf(s.PlayList_Y.value_or(0))),
        entry("PlayList_SizeX", pixelsOf(playListSize.width())),
        entry("PlayList_SizeY", pixelsOf(playListSize.height())),
        entry("PlayListView_Item(1)Size", column(0)),
        entry("PlayListView_Item(2)Size", column(1)),
        entry("PlayListView_Item(3)Size", column(2)),
        entry("PlayListView_Item(4)Size", column(3)),
        QStringLiteral("--- Option ---"),
        entry("AlwaysTop", number(s.AlwaysTop == 1)),
        entry("AlwaysTopPlaylist", number(s.AlwaysTopPlaylist == 1)),
        entry("TagInfo1", s.TagInfo1),
        entry("TagInfo2", s.TagInfo2),
        entry("TagInfo3", s.TagInfo3),
        entry("TagInfoScroll", s.TagInfoScroll),
        entry("UseSkinTag", number(s.UseSkinTag)),
        entry("WavVolume", number(s.WavVolume)),
        entry("SavePlayList", number(s.SavePlayList)),
        entry("AutoScrollPlayList", number(s.AutoScrollPlayList)),
        entry("RepeatPlay", number(s.RepeatPlay == 1)),
        entry("PlayListTrNum", number(playListTrNum)),
        QStringLiteral("--- Window Visible ---"),
        entry("PlayList_Visible", number(s.PlayList_Visible == -1)),
        QStringLiteral("--- Skin FilePaht ---"),
        entry("Skin_FilePath", s.Skin_FilePath),
    };
    return encodeLinesCrLf(lines);
}

bool SaveConfig(const QString& path, const Settings& settings, std::int16_t playListTrNum) {
    return writeFileAtomically(path, configText(settings, playListTrNum));
}

} // namespace pelto
