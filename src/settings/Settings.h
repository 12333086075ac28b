#pragma once

#include <QString>

#include <cstdint>

namespace pelto {

// The settings the program keeps in memory from start to exit, with the values they
// have when no configuration file exists or a key is missing. The window places, the
// always-on-top switches and the playlist window's visibility are held by the windows
// themselves.
struct Settings {
    QString TagInfo1 = QStringLiteral("%1");
    QString TagInfo2 = QStringLiteral("%2");
    QString TagInfo3 = QStringLiteral("%4%-(%4,%-(%3, - ))%3");
    QString TagInfoScroll = QStringLiteral(" - ");
    std::uint8_t UseSkinTag = 1;
    std::int16_t WavVolume = 13;
    std::uint8_t SavePlayList = 1;
    std::uint8_t AutoScrollPlayList = 1;
    QString Skin_FilePath = QStringLiteral("standard");
    std::int16_t PlayList_Visible = 0; // -1 = show the playlist window at start
    // 1 = the end of the last row goes on with row 1. The player switches it and
    // announces the change; the playlist window shows it.
    std::uint8_t RepeatPlay = 0;

    // The user's format string of information line i (0 to 2).
    const QString& userTagInfo(int i) const {
        return i == 0 ? TagInfo1 : i == 1 ? TagInfo2 : TagInfo3;
    }
};

} // namespace pelto
