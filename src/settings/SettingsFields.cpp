#include "settings/SettingsFields.h"

namespace pelto {

namespace {

using V = ConfigValues;
using std::int16_t;
using std::uint8_t;

constexpr SettingsField section(const char* line) {
    return {line, SectionLine{}};
}
constexpr SettingsField column(const char* key, int i) {
    return {key, ColumnWidthValue{&V::PlayListView_ItemSize, i, kPlaylistColumnWidths[size_t(i)]}};
}

constexpr ValueSpan kLine = ValueSpan::RestOfLine;

// Keys and section lines are spelled as every Pelto.cfg has them ("FilePaht" too). The
// format strings, the scroll separator and UseSkinTag take the rest of their line;
// Skin_FilePath is one field.
constexpr SettingsField kFields[] = {
    section("--- Windows Position ---"),
    {"MainPlayer_X", PlaceValue{&V::MainPlayer_X}},
    {"MainPlayer_Y", PlaceValue{&V::MainPlayer_Y}},
    {"PlayList_X", PlaceValue{&V::PlayList_X}},
    {"PlayList_Y", PlaceValue{&V::PlayList_Y}},
    {"PlayList_SizeX", SizeHalfValue{&V::PlayList_Size, 0, kPlaylistDesignSize.width()}},
    {"PlayList_SizeY", SizeHalfValue{&V::PlayList_Size, 1, kPlaylistDesignSize.height()}},
    column("PlayListView_Item(1)Size", 0),
    column("PlayListView_Item(2)Size", 1),
    column("PlayListView_Item(3)Size", 2),
    column("PlayListView_Item(4)Size", 3),
    section("--- Option ---"),
    {"AlwaysTop", SwitchValue<uint8_t>{&V::AlwaysTop, 1}},
    {"AlwaysTopPlaylist", SwitchValue<uint8_t>{&V::AlwaysTopPlaylist, 1}},
    {"TagInfo1", TextValue{&V::TagInfo1, kLine}},
    {"TagInfo2", TextValue{&V::TagInfo2, kLine}},
    {"TagInfo3", TextValue{&V::TagInfo3, kLine}},
    {"TagInfoScroll", TextValue{&V::TagInfoScroll, kLine}},
    {"UseSkinTag", IntegerValue<uint8_t>{&V::UseSkinTag, kLine}},
    {"WavVolume", IntegerValue<int16_t>{&V::WavVolume}},
    {"SavePlayList", IntegerValue<uint8_t>{&V::SavePlayList}},
    {"AutoScrollPlayList", IntegerValue<uint8_t>{&V::AutoScrollPlayList}},
    {"RepeatPlay", SwitchValue<uint8_t>{&V::RepeatPlay, 1}},
    {"PlayListTrNum", IntegerValue<int>{&V::PlayListTrNum}},
    section("--- Window Visible ---"),
    {"PlayList_Visible", SwitchValue<int16_t>{&V::PlayList_Visible, -1}},
    section("--- Skin FilePaht ---"),
    {"Skin_FilePath", TextValue{&V::Skin_FilePath}},
};

} // namespace

std::span<const SettingsField> settingsFields() {
    return kFields;
}

} // namespace pelto
