#include "app/Session.h"

#include "about/Version_Info.h"
#include "app/CommandLine.h"
#include "app/MultRunningCheck.h"
#include "app/QuitSignals.h"
#include "app/SettingsBridge.h"
#include "audio/AudioEngine.h"
#include "common/FilePlaces.h"
#include "common/SaveFile.h"
#include "mpris/MprisService.h"
#include "player/AddFilesDialog.h"
#include "player/MainPlayer.h"
#include "player/MainPlayerControls.h"
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
      m_settingsBridge(
          std::make_unique<SettingsBridge>(m_settings, m_player, m_display, *m_mainWindow)),
      m_quitSignals(std::make_unique<QuitSignals>()), m_instance(instance) {
    MainPlayer& window = *m_mainWindow;
    m_display.setView(&window);
    m_commands.setView(&window);
    connect(&m_adder, &PlaylistAdder::playRequested, &m_player, &Player::playPath);
    // A new skin: the window's elements, then the lines and times, then the volume bar.
    connect(&m_skins, &SkinControl::skinApplied, &window, &MainPlayer::applySkinState);
    connect(&m_skins, &SkinControl::skinApplied, &m_display, &InfoDisplay::applySkin);
    connect(&m_skins, &SkinControl::skinApplied, &m_volume, &VolumeControl::applySkin);
    // The bars, buttons and keys; owned by the window.
    new MainPlayerControls(window, m_commands, m_keys, m_seek, m_volume, m_buttons);

    connect(&m_commands, &ControlCommands::addFilesRequested, this,
            &Session::addFilesThroughDialog);
    connect(&m_commands, &ControlCommands::raiseRequested, this, &Session::raiseMainWindow);
    connect(&m_commands, &ControlCommands::endRequested, &window, &QWidget::close);
    connect(&m_commands, &ControlCommands::settingFormRequested, m_settingsBridge.get(),
            &SettingsBridge::showSettingForm);
    connect(&m_commands, &ControlCommands::versionInfoRequested, &window,
            [&window] { Version_Info::showModal(&window); });
    connect(&m_commands, &ControlCommands::fileOpenRequested, this,
            [this](const QString& path) { handOff(joinCommandLine({path})); });

    // Closing the main window is the end of the program.
    connect(&window, &MainPlayer::closing, this, [this] {
        closeQuery();
        Unload();
    });
    // Signals caught from here on, during the load too, end the program through the
    // main window's unload once the event loop runs.
    connect(m_quitSignals.get(), &QuitSignals::quitRequested, &window, &QWidget::close);
    if (auto* app = QCoreApplication::instance())
        connect(app, &QCoreApplication::aboutToQuit, &window, &QWidget::close);
}

Session::~Session() = default;

// The main window's load, in order.
void Session::start(const QString& commandLine, const DecoderFactory& startDecoder) {
    m_player.setDecoder(startDecoder ? startDecoder() : std::make_unique<AudioEngine>());
    loadHiddenWindows();
    m_tray->uncheckAlwaysTop();

    m_player.resetForLoad();
    m_display.resetForLoad();
    m_settings = Settings();
    m_playlist.setPlayListTrNum(1);

    const QString folder = filePlaces().settingsFolder;
    // A save that a crash cut short left its temporary file beside the old one. This
    // copy is the only one running from the folder, so no save of these is under way.
    removeUnfinishedSaves(configFilePath(folder));
    removeUnfinishedSaves(folder + kDefaultPlaylist);
    removeUnfinishedSaves(RowFactsCache::fileIn(folder));
    m_rowFacts.load(RowFactsCache::fileIn(folder));

    m_skins.SetSkinList();
    LoadConfig();
    m_skins.LoadSkin(true);
    restorePlayList(commandLine);
    if (m_settings.PlayList_Visible == -1 && !m_playListWindow->isVisible())
        m_playListWindow->View_PlayList_Menu_Click();
    m_mainWindow->showMainWindow();
    // The main window's saved switch once it shows, so it appears once, in its place.
    m_tray->applyMainWindowAlwaysTop();

    emit loaded();
    if (m_instance)
        m_instance->HookMainWindow(m_mainWindow.get(),
                                   [this](const QString& text) { handOff(text); });
}

// The tray window (which puts up the tray icon) and the playlist window, neither
// shown.
void Session::loadHiddenWindows() {
    if (m_playListWindow)
        return;
    m_tray = std::make_unique<TaskTrayForm>(m_commands, m_settings, *m_mainWindow);
    TrayMenu& menu = m_tray->menu();
    connect(&m_skins, &SkinControl::skinEntriesChanged, &menu, &TrayMenu::setSkinEntries);
    connect(&m_skins, &SkinControl::checkedSkinEntryChanged, &menu, &TrayMenu::setCheckedEntry);

    m_playListWindow = std::make_unique<PlayListForm>(m_playlist, m_player, m_commands, m_buttons);
    m_tray->attachPlayListWindow(m_playListWindow.get());
    connect(m_playListWindow.get(), &PlayListForm::visibilityChanged, m_tray.get(),
            &TaskTrayForm::setPlayListChecked);
    connect(&m_commands, &ControlCommands::playListWindowToggleRequested, m_playListWindow.get(),
            &PlayListForm::View_PlayList_Menu_Click);
}

// Pelto.cfg over the defaults; then the windows take their places and switches.
void Session::LoadConfig() {
    m_settingsBridge->LoadConfig(m_playlist);
    m_playListWindow->applyConfig(m_settings);
    // After the playlist window has its place: a saved always-on-top switch shows it.
    m_tray->applyConfig(m_settings);
}

// The command line replaces the playlist and plays; without one the saved playlist
// is restored and its current row marked, not played.
void Session::restorePlayList(const QString& commandLine) {
    const QString saved = filePlaces().settingsFolder + kDefaultPlaylist;
    if (!commandLine.isEmpty()) {
        m_adder.AddCommandLine(commandLine, true, true);
    } else if (m_settings.SavePlayList == 1 && QFileInfo::exists(saved)) {
        m_adder.addPlayListFile(saved);
        const int row = m_playlist.PlayListTrNum();
        if (row > 0 && row <= m_playlist.count()) {
            if (m_settings.AutoScrollPlayList == 1)
                m_playlist.requestScrollTo(m_playlist.findFirstRowWithPath(m_playlist.path(row)));
            m_playlist.SetPlayListColor();
        }
    } else {
        m_playlist.setPlayListTrNum(0);
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
    if (m_settings.SavePlayList == 1)
        SavePlayListFile(m_playlist, folder + kDefaultPlaylist);
    m_rowFacts.save(RowFactsCache::fileIn(folder));
    m_skins.clearSkinList();
    if (m_playListWindow)
        m_playListWindow->hide();
    if (m_tray)
        m_tray->unload();
    m_player.shutdownDecoder();
}

// The windows give their values back, then Pelto.cfg is written whole.
void Session::SaveConfig() {
    Settings saved = m_settings;
    if (m_playListWindow)
        m_playListWindow->storeConfig(saved);
    if (m_tray)
        m_tray->storeConfig(saved);
    m_settingsBridge->SaveConfig(saved, m_playlist);
}

void Session::startMediaPlayerService() {
    m_mpris = std::make_unique<MprisService>(m_player, m_playlist, m_settings, m_commands);
    m_mpris->registerOnSessionBus();
}

void Session::handOff(const QString& commandLine) {
    m_adder.AddCommandLine(commandLine, false, true);
    emit handedOff(++m_handOffs);
}

void Session::addFilesThroughDialog() {
    QWidget* parent = m_playListWindow && m_playListWindow->isVisible()
                          ? static_cast<QWidget*>(m_playListWindow.get())
                          : m_mainWindow.get();
    AddSound_PlayList(m_commands, m_player.DmyFileName(), parent);
}

void Session::raiseMainWindow() {
    m_mainWindow->show();
    m_mainWindow->raise();
    m_mainWindow->activateWindow();
}

} // namespace pelto
