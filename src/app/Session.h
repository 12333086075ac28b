#pragma once

#include "player/ProgramLogic.h"

#include <QObject>

#include <functional>
#include <memory>

class QWidget;

namespace pelto {

class Decoder;
class MainPlayer;
class MprisService;
class MultRunningCheck;
class PlayListForm;
class QuitSignals;
class SettingsBridge;
class TaskTrayForm;

// The running program: the one owner of its logic (ProgramLogic: the settings, the
// playlist, the player and the objects around it), the windows and the services. It
// runs the main window's load and unload as two lists of steps, and takes the
// hand-offs of later launches from the load's end until the main window's close.
//
// Windows and services act on the program through the commands and follow the
// player, the commands and each other by signals, which only the session connects.
// None of them owns another or reaches into another's state, so the members are
// independent of each other's lifetimes. A termination signal (or the end of the
// desktop session) closes the main window the normal way, so the unload writes
// everything it writes at any other exit.
class Session : public QObject {
    Q_OBJECT
public:
    using DecoderFactory = std::function<std::unique_ptr<Decoder>()>;

    // instance, when given, is this process's single-instance check (the first copy):
    // it receives the later launches' command lines.
    explicit Session(MultRunningCheck* instance = nullptr, QObject* parent = nullptr);
    ~Session() override;

    // The program's logic: settings, playlist, player, displays, controls, commands.
    ProgramLogic& logic() { return m_logic; }
    Settings& settings() { return m_logic.settings; }
    PlaylistModel& playlist() { return m_logic.playlist; }
    Player& player() { return m_logic.player; }
    ControlCommands& commands() { return m_logic.commands; }
    MainPlayer& mainWindow() { return *m_mainWindow; }
    // The playlist window, from the load's hidden windows on; null before.
    PlayListForm* playlistWindow() { return m_playlistWindow.get(); }
    // Pelto.cfg and the settings dialog.
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

signals:
    // The load has ended (the main window shows).
    void loaded();
    // A later launch's command line has been dealt with; the count of them so far.
    void handedOff(int count);

private:
    // The steps of the load and the unload that take more than one call.
    void loadHiddenWindows();
    void restorePlaylist(const QString& commandLine);
    void LoadConfig();
    void SaveConfig();
    void closeQuery();
    void Unload();
    // The add-files dialog: over the playlist window while it shows, else over the
    // main window.
    void addFilesThroughDialog();
    void raiseMainWindow();

    ProgramLogic m_logic;
    std::unique_ptr<MainPlayer> m_mainWindow;
    std::unique_ptr<SettingsBridge> m_settingsBridge;
    std::unique_ptr<QuitSignals> m_quitSignals;
    std::unique_ptr<TaskTrayForm> m_tray;
    std::unique_ptr<PlayListForm> m_playlistWindow;
    std::unique_ptr<MprisService> m_mpris;
    MultRunningCheck* m_instance;
    int m_handOffs = 0;
    bool m_leaveSavedPlaylist = false;
};

} // namespace pelto
