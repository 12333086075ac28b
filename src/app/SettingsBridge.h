#pragma once

#include "settings/ConfigWindow.h"
#include "settings/SettingFormHost.h"

#include <QList>
#include <QObject>

#include <memory>

namespace pelto {

class MainPlayer;
class PlaylistModel;
class Player;
struct Settings;

// The settings' side of the running program. At the load's configuration step it
// reads Pelto.cfg from the program folder and hands the windows their places and
// switches; at the unload's first step it collects them again and writes the file. It
// also opens the settings dialog and redraws the information lines for it.
//
// The main window is placed as it first shows, when its skin has given it its size,
// so that a place pulled back from the screen's edge shows the whole window. The
// other windows that keep values in the file (the playlist window, the tray menu's
// always-on-top marks) join through addConfigWindow(); until they do, their values
// stay in the settings and go back to the file unchanged.
class SettingsBridge : public QObject, public SettingFormHost {
    Q_OBJECT
public:
    SettingsBridge(Player& player, MainPlayer& mainWindow, QObject* parent = nullptr);
    ~SettingsBridge() override;

    // A window that takes its values after the file is read and gives them back
    // before it is written, after the main window. It must outlive the bridge's use.
    void addConfigWindow(ConfigWindow* window);

    // The load's configuration step: the file over the defaults, the current playlist
    // row, then every window takes its values.
    void LoadConfig(Settings& settings, PlaylistModel& playlist);
    // The unload's first step: the windows give their values back and the file is
    // written whole; a failed write keeps the old file.
    void SaveConfig(const Settings& settings, const PlaylistModel& playlist);

    // The settings dialog, modal over the main window.
    void showSettingForm();

    // SettingFormHost
    std::array<QString, 3> SkinTagInfo() const override;
    QString SkinTagScroll() const override;
    int PlayState() const override;
    void redrawInfoLines() override;

private:
    class MainWindowPlace;

    Player& m_player;
    MainPlayer& m_mainWindow;
    std::unique_ptr<MainWindowPlace> m_mainWindowPlace;
    QList<ConfigWindow*> m_windows;
};

} // namespace pelto
