#include "SkinElements.h"

namespace pelto {

QString skinElementName(SkinElement e) {
    static const std::array<const char*, kSkinElementCount> names = {
        "MainSkin",     "Main2Skin",     "PowerSkin",          "Power2Skin",
        "BackSkin",     "Back2Skin",     "PlaySkin",           "Play2Skin",
        "PauseSkin",    "Pause2Skin",    "StopSkin",           "Stop2Skin",
        "NextSkin",     "Next2Skin",     "OpenSkin",           "Open2Skin",
        "PlayListSkin", "PlayList2Skin", "TimeBarSkin",        "TimeBar_BackSkin",
        "ChangeTime",   "VolumeBarSkin", "VolumeBar_BackSkin", "ChangeVolume",
        "TagInfo(0)",   "TagInfo(1)",    "TagInfo(2)",         "NowTime",
        "TotalTime"};
    const int i = int(e);
    return (i >= 0 && i < kSkinElementCount) ? QString::fromLatin1(names[size_t(i)]) : QString();
}

} // namespace pelto
