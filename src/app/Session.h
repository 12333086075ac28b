#pragma once

#include "player/ControlCommands.h"
#include "player/KeyCommands.h"
#include "player/LifecycleHooks.h"
#include "player/Player.h"
#include "playlist/PlaylistModel.h"
#include "settings/Settings.h"

#include <QObject>

#include <functional>
#include <memory>

namespace pelto {

class Decoder;
class MainPlayer;
class MprisService;
class MultRunningCheck;
class PlayListForm;
class QuitSignals;
class SettingsBridge;
class TaskTrayForm;

// The running program: the one owner of the settings, the playlist, the player, the
// commands of the keys, buttons and menus, and the windows. Windows and services
// attach to it and follow the player's signals; none of them owns another.
//
// It is also the program's side of the main window's load and unload: the steps that
// belong to other windows and modules (LifecycleHooks), and the hand-offs of later
// launches, which it takes from the load's end until the main window's close query.
// A termination signal (or the end of the desktop session) closes the main window the
// normal way, so the unload writes everything it writes at any other exit.
class Session : public QObject, public LifecycleHooks {
    Q_OBJECT
public:
    using DecoderFactory = std::function<std::unique_ptr<Decoder>()>;

    // instance, when given, is this process's single-instance check (the first copy):
    // it receives the later launches' command lines.
    explicit Session(MultRunningCheck* instance = nullptr, QObject* parent = nullptr);
    ~Session() override;

    Settings& settings() { return m_settings; }
    PlaylistModel& playlist() { return m_playlist; }
    Player& player() { return m_player; }
    ControlCommands& commands() { return m_commands; }
    KeyCommands& keys() { return m_keys; }
    MainPlayer& mainWindow() { return *m_mainWindow; }
    // The playlist window, from the load's hidden windows on; null before.
    PlayListForm* playListWindow() { return m_playListWindow.get(); }
    // Pelto.cfg and the settings dialog (showSettingForm()).
    SettingsBridge& settingsBridge() { return *m_settingsBridge; }
    // The tray icon and the popup menu, from the load's hidden windows on; null before.
    TaskTrayForm* tray() { return m_tray.get(); }

    // The main window's load with the program's command line, on the real audio
    // engine unless another decoder is given; then later launches are taken.
    void start(const QString& commandLine, const DecoderFactory& startDecoder = {});
    // Offers the player to the desktop on the session bus (media keys, sound menus).
    void startMediaPlayerService();

    // A later launch's command line: its files are added and the first of them plays.
    void handOff(const QString& commandLine);

    // LifecycleHooks
    void loadHiddenWindows() override;
    void uncheckAlwaysTop() override;
    void LoadConfig(Settings& settings, PlaylistModel& playlist) override;
    void showPlayListWindow() override;
    void UnhookMainWindow() override;
    void SaveConfig(const Settings& settings, const PlaylistModel& playlist) override;
    void unloadWindows() override;

private:
    Settings m_settings;
    PlaylistModel m_playlist;
    Player m_player{m_settings, m_playlist};
    ControlCommands m_commands{m_player};
    KeyCommands m_keys{m_commands};
    std::unique_ptr<MainPlayer> m_mainWindow;
    std::unique_ptr<SettingsBridge> m_settingsBridge;
    std::unique_ptr<QuitSignals> m_quitSignals;
    std::unique_ptr<MprisService> m_mpris;
    MultRunningCheck* m_instance;
    int m_handOffs = 0;
    // Last, so it goes before the player, commands and main window it uses.
    std::unique_ptr<PlayListForm> m_playListWindow;
    // Loaded before the playlist window and wrapping its show-or-hide command, so it
    // goes first and gives the command back.
    std::unique_ptr<TaskTrayForm> m_tray;
};

} // namespace pelto
