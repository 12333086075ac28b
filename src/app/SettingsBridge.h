#pragma once

#include "settings/SettingFormHost.h"

#include <QObject>

#include <memory>

namespace pelto {

class InfoDisplay;
class MainPlayer;
class PlaylistModel;
class Player;
struct Settings;

// The settings' side of the running program. At the load's configuration step it
// reads Pelto.cfg from the program folder into the settings and the current playlist
// row; at the unload's first step it writes the file from them. The other windows that
// keep values in the file (the playlist window, the tray menu's always-on-top marks)
// take theirs from the settings after the read and give them back before the write;
// values of a window that is not there go back to the file unchanged. The bridge also
// opens the settings dialog and redraws the information lines for it.
//
// The main window is placed as it first shows, when its skin has given it its size,
// so that a place pulled back from the screen's edge shows the whole window.
class SettingsBridge : public QObject, public SettingFormHost {
    Q_OBJECT
public:
    SettingsBridge(Settings& settings, const Player& player, InfoDisplay& display,
                   MainPlayer& mainWindow, QObject* parent = nullptr);
    ~SettingsBridge() override;

    // The load's configuration step: the file over the defaults, the current playlist
    // row, and the main window's place for its first showing. A file that is there
    // but cannot be read is said on stderr and left as it is for the whole run.
    void LoadConfig(PlaylistModel& playlist);
    // The unload's first step: the file written whole from `saved` (the settings with
    // the windows' values put back); a failed write keeps the old file.
    void SaveConfig(const Settings& saved, const PlaylistModel& playlist);

    // The settings dialog, modal over the main window.
    void showSettingForm();

    // SettingFormHost
    std::array<QString, 3> SkinTagInfo() const override;
    QString SkinTagScroll() const override;
    int PlayState() const override;
    void redrawInfoLines() override;

private:
    class MainWindowPlace;

    Settings& m_settings;
    const Player& m_player;
    InfoDisplay& m_display;
    MainPlayer& m_mainWindow;
    std::unique_ptr<MainWindowPlace> m_mainWindowPlace;
    bool m_leaveConfigFile = false;
};

} // namespace pelto
