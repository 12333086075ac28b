#include "app/Session.h"

#include "about/Version_Info.h"
#include "app/LaunchArguments.h"
#include "app/MultRunningCheck.h"
#include "app/QuitSignals.h"
#include "app/SettingsBridge.h"
#include "audio/AudioEngine.h"
#include "common/FilePlaces.h"
#include "common/FileRead.h"
#include "common/SaveFile.h"
#include "mpris/MprisService.h"
#include "player/AddFilesDialog.h"
#include "player/MainPlayer.h"
#include "player/MainPlayerControls.h"
#include "player/RemoteCommands.h"
#include "playlist/PlaylistFile.h"
#include "playlistwindow/PlayListForm.h"
#include "settings/ConfigFile.h"
#include "tray/TaskTrayForm.h"
#include "tray/TrayMenu.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace pelto {

namespace {
const QString kDefaultPlaylist = QStringLiteral("Pelto.m3u");
} // namespace

Session::Session(MultRunningCheck* instance, QObject* parent)
    : QObject(parent), m_mainWindow(std::make_unique<MainPlayer>()),
      m_settingsBridge(std::make_unique<SettingsBridge>(m_logic.settings, m_logic.player,
                                                        m_logic.display, *m_mainWindow)),
      m_quitSignals(std::make_unique<QuitSignals>()), m_instance(instance) {
    MainPlayer& window = *m_mainWindow;
    m_logic.setView(&window);
    // The bars, buttons and keys; owned by the window.
    new MainPlayerControls(window, m_logic.commands, m_logic.keys, m_logic.seek, m_logic.volume,
                           m_logic.buttons);

    connect(&m_logic.commands, &ControlCommands::addFilesRequested, this,
            &Session::addFilesThroughDialog);
    connect(&m_logic.commands, &ControlCommands::raiseRequested, this, &Session::raiseMainWindow);
    connect(&m_logic.commands, &ControlCommands::endRequested, &window, &QWidget::close);
    connect(&m_logic.commands, &ControlCommands::settingFormRequested, m_settingsBridge.get(),
            &SettingsBridge::showSettingForm);
    connect(&m_logic.commands, &ControlCommands::versionInfoRequested, &window,
            [&window] { Version_Info::showModal(&window); });
    connect(&m_logic.commands, &ControlCommands::fileOpenRequested, this,
            [this](const QString& path) { handOff(joinCommandLine({path})); });

    // Closing the main window is the end of the program.
    connect(&window, &MainPlayer::closing, this, [this] {
        closeQuery();
        Unload();
    });
    // Signals caught after the load end the program through the main window's unload
    // once the event loop runs; during the load they end it at once.
    connect(m_quitSignals.get(), &QuitSignals::quitRequested, &window, &QWidget::close);
    if (auto* app = QCoreApplication::instance())
        connect(app, &QCoreApplication::aboutToQuit, &window, &QWidget::close);
}

Session::~Session() = default;

// The main window's load, in order.
void Session::start(const QString& commandLine, const DecoderFactory& startDecoder) {
    m_logic.player.setDecoder(startDecoder ? startDecoder() : std::make_unique<AudioEngine>());
    loadHiddenWindows();
    m_tray->uncheckAlwaysTop();

    m_logic.player.resetForLoad();
    m_logic.display.resetForLoad();
    m_logic.settings = Settings();
    m_logic.playlist.setPlayListTrNum(1);

    const QString folder = filePlaces().settingsFolder;
    // A save that a crash cut short left its temporary file beside the old one. This
    // copy is the only one running from the folder, so no save of these is under way.
    removeUnfinishedSaves(configFilePath(folder));
    removeUnfinishedSaves(folder + kDefaultPlaylist);
    removeUnfinishedSaves(RowFactsCache::fileIn(folder));
    m_logic.rowFacts.load(RowFactsCache::fileIn(folder));

    m_logic.skins.SetSkinList();
    LoadConfig();
    m_logic.skins.LoadSkin(true);
    restorePlaylist(commandLine);
    // A playlist window without a saved place goes beside the main window, so it shows
    // after it.
    const bool showList = m_logic.settings.PlayList_Visible == -1 && !m_playlistWindow->isVisible();
    const bool listAfterMain = m_playlistWindow->waitsForFirstPlace();
    if (showList && !listAfterMain)
        m_playlistWindow->View_PlayList_Menu_Click();
    m_mainWindow->showMainWindow();
    if (showList && listAfterMain)
        m_playlistWindow->View_PlayList_Menu_Click();
    // The main window's saved switch once it shows, so it appears once, in its place.
    m_tray->applyMainWindowAlwaysTop();

    m_quitSignals->loadEnded();
    emit loaded();
    if (m_instance) {
        // `pelto --next` and the others run what the keys and the tray menu run.
        m_instance->setCommandHandler([this](const QString& name) {
            return runRemoteCommand(name, m_logic.commands, m_logic.player, m_logic.playlist);
        });
        m_instance->HookMainWindow(m_mainWindow.get(),
                                   [this](const QString& text) { handOff(text); });
    }
}

// The tray window (which puts up the tray icon) and the playlist window, neither
// shown.
void Session::loadHiddenWindows() {
    if (m_playlistWindow)
        return;
    m_tray = std::make_unique<TaskTrayForm>(m_logic.commands, m_logic.settings, *m_mainWindow);
    TrayMenu& menu = m_tray->menu();
    connect(&m_logic.skins, &SkinControl::skinEntriesChanged, &menu, &TrayMenu::setSkinEntries);
    connect(&m_logic.skins, &SkinControl::checkedSkinEntryChanged, &menu,
            &TrayMenu::setCheckedEntry);

    m_playlistWindow = std::make_unique<PlayListForm>(m_logic.playlist, m_logic.player,
                                                      m_logic.commands, m_logic.buttons);
    m_tray->attachPlaylistWindow(m_playlistWindow.get());
    m_playlistWindow->setFirstPlaceBeside(m_mainWindow.get());
    connect(m_playlistWindow.get(), &PlayListForm::visibilityChanged, m_tray.get(),
            &TaskTrayForm::setPlaylistChecked);
    connect(&m_logic.commands, &ControlCommands::playlistWindowToggleRequested,
            m_playlistWindow.get(), &PlayListForm::View_PlayList_Menu_Click);
}

// Pelto.cfg over the defaults; then the windows take their places and switches.
void Session::LoadConfig() {
    m_settingsBridge->LoadConfig(m_logic.playlist);
    m_playlistWindow->applyConfig(m_logic.settings);
    // After the playlist window has its place: a saved always-on-top switch shows it.
    m_tray->applyConfig(m_logic.settings);
}

// The command line replaces the playlist and plays; without one the saved playlist
// is restored and its current row marked, not played.
void Session::restorePlaylist(const QString& commandLine) {
    const QString saved = filePlaces().settingsFolder + kDefaultPlaylist;
    if (!commandLine.isEmpty()) {
        m_logic.adder.AddCommandLine(commandLine, true, true);
    } else if (m_logic.settings.SavePlayList == 1 && QFileInfo::exists(saved)) {
        const ReadOutcome read = m_logic.adder.addPlaylistFile(saved);
        // A saved playlist read in part, or not at all, is not replaced by what this
        // run holds.
        m_leaveSavedPlaylist = read.refused();
        if (m_leaveSavedPlaylist)
            reportUnreadFile(saved, read.reason,
                             QStringLiteral("the saved playlist is left as it is"));
        const int row = m_logic.playlist.PlayListTrNum();
        if (row > 0 && row <= m_logic.playlist.count()) {
            if (m_logic.settings.AutoScrollPlayList == 1)
                m_logic.playlist.requestScrollTo(
                    m_logic.playlist.findFirstRowWithPath(m_logic.playlist.path(row)));
            m_logic.playlist.SetPlayListColor();
        }
    } else {
        m_logic.playlist.setPlayListTrNum(0);
    }
}

// The close query: later launches are no longer taken.
void Session::closeQuery() {
    if (m_instance)
        m_instance->UnhookMainWindow();
}

// The unload, in order: configuration, "Pelto.m3u" (when SavePlayList is 1), the row
// cache, the skin menu's entries, the other windows, the decoder.
void Session::Unload() {
    // An installed copy's settings folder is made at its first save.
    const QString folder = filePlaces().settingsFolder;
    QDir().mkpath(folder);
    SaveConfig();
    if (m_logic.settings.SavePlayList == 1 && !m_leaveSavedPlaylist)
        SavePlayListFile(m_logic.playlist, folder + kDefaultPlaylist);
    m_logic.rowFacts.save(RowFactsCache::fileIn(folder));
    m_logic.skins.clearSkinList();
    if (m_playlistWindow)
        m_playlistWindow->hide();
    if (m_tray)
        m_tray->unload();
    m_logic.player.shutdownDecoder();
}

// The windows give their values back, then Pelto.cfg is written whole.
void Session::SaveConfig() {
    Settings saved = m_logic.settings;
    if (m_playlistWindow)
        m_playlistWindow->storeConfig(saved);
    if (m_tray)
        m_tray->storeConfig(saved);
    m_settingsBridge->SaveConfig(saved, m_logic.playlist);
}

void Session::startMediaPlayerService() {
    m_mpris = std::make_unique<MprisService>(m_logic.player, m_logic.playlist, m_logic.settings,
                                             m_logic.commands);
    m_mpris->registerOnSessionBus();
}

void Session::handOff(const QString& commandLine) {
    m_logic.adder.AddCommandLine(commandLine, false, true);
    emit handedOff(++m_handOffs);
}

void Session::addFilesThroughDialog() {
    QWidget* parent = m_playlistWindow && m_playlistWindow->isVisible()
                          ? static_cast<QWidget*>(m_playlistWindow.get())
                          : m_mainWindow.get();
    AddSound_PlayList(m_logic.commands, m_logic.player.DmyFileName(), parent);
}

void Session::raiseMainWindow() {
    m_mainWindow->show();
    m_mainWindow->raise();
    m_mainWindow->activateWindow();
}

} // namespace pelto
