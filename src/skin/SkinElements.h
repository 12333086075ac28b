#pragma once

#include <QString>

#include <array>

namespace pelto {

// Every element of the main window that a skin places. Bitmap elements and hit areas
// lie on the window's surface; the five text areas lie above all of them.
enum class SkinElement : int {
    MainSkin,
    Main2Skin,
    PowerSkin,
    Power2Skin,
    BackSkin,
    Back2Skin,
    PlaySkin,
    Play2Skin,
    PauseSkin,
    Pause2Skin,
    StopSkin,
    Stop2Skin,
    NextSkin,
    Next2Skin,
    OpenSkin,
    Open2Skin,
    PlayListSkin,
    PlayList2Skin,
    TimeBarSkin,
    TimeBar_BackSkin,
    ChangeTime,
    VolumeBarSkin,
    VolumeBar_BackSkin,
    ChangeVolume,
    TagInfo0,
    TagInfo1,
    TagInfo2,
    NowTime,
    TotalTime,
    Count
};

constexpr int kSkinElementCount = int(SkinElement::Count);

// The element's name as the program and its tools spell it ("PowerSkin", "TagInfo(0)").
QString skinElementName(SkinElement e);

constexpr bool isTextArea(SkinElement e) {
    return e == SkinElement::TagInfo0 || e == SkinElement::TagInfo1 || e == SkinElement::TagInfo2 ||
           e == SkinElement::NowTime || e == SkinElement::TotalTime;
}
constexpr bool isHitArea(SkinElement e) {
    return e == SkinElement::ChangeTime || e == SkinElement::ChangeVolume;
}
// The information line (0 to 2) of a TagInfo element.
constexpr int tagInfoIndex(SkinElement e) {
    return int(e) - int(SkinElement::TagInfo0);
}
constexpr SkinElement tagInfoElement(int i) {
    return SkinElement(int(SkinElement::TagInfo0) + i);
}

} // namespace pelto
