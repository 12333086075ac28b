#pragma once

#include <QSize>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

namespace pelto {

// The playlist window as laid out: its size in pixels and the widths of its four
// columns (title, artist, length, path) in the list view's pixels.
constexpr QSize kPlaylistDesignSize{313, 197};
constexpr std::array<float, 4> kPlaylistColumnWidths{130, 130, 43, 200};

// The settings the program keeps in memory from start to exit, with the values they
// have when no configuration file exists or a key is missing. Pelto.cfg holds them all
// (ConfigFile.h); the settings dialog changes some of them.
//
// The window places and switches are kept here as well, so that they go from the file
// back to the file even for a window that is not there to hold them. A window that
// holds one of them takes it at start and puts its own value back before the file is
// written.
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
    // 1 = the main window (the playlist window) stays above other windows; the tray
    // menu's check marks show them.
    std::uint8_t AlwaysTop = 0;
    std::uint8_t AlwaysTopPlaylist = 0;

    // Window places in twips: left and top edges (of the screen's own pixels, so that a
    // place means the same spot of the screen at any scale: WindowPlace), and the
    // playlist window's outer size (of logical pixels, so that it holds as much at any
    // scale), which the file sets only when it gives both halves non-zero. Unset: the
    // file gave none and the window stays where it is.
    std::optional<int> MainPlayer_X, MainPlayer_Y;
    std::optional<int> PlayList_X, PlayList_Y;
    std::optional<QSize> PlayList_Size;
    // The widths of the playlist's four columns, in the list view's pixels; unset
    // columns keep their width.
    std::array<std::optional<float>, 4> PlayListView_ItemSize;

    // The user's format string of information line i (0 to 2).
    const QString& userTagInfo(int i) const {
        return i == 0 ? TagInfo1 : i == 1 ? TagInfo2 : TagInfo3;
    }

    bool operator==(const Settings&) const = default;
};

} // namespace pelto
