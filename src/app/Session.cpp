#include "app/Session.h"

#include "about/Version_Info.h"
#include "app/CommandLine.h"
#include "app/MultRunningCheck.h"
#include "app/QuitSignals.h"
#include "app/SettingsBridge.h"
#include "app/TestStateFile.h"
#include "audio/AudioEngine.h"
#include "mpris/MprisService.h"
#include "player/MainPlayer.h"
#include "player/MainPlayerControls.h"
#include "playlistwindow/PlayListForm.h"
#include "tray/TaskTrayForm.h"

#include <QCoreApplication>

namespace pelto {

Session::Session(MultRunningCheck* instance, QObject* parent)
    : QObject(parent), m_mainWindow(std::make_unique<MainPlayer>(m_player)),
      m_settingsBridge(std::make_unique<SettingsBridge>(m_player, *m_mainWindow)),
      m_quitSignals(std::make_unique<QuitSignals>()), m_instance(instance) {
    m_player.setHooks(this);
    // The bars, buttons and keys; owned by the window.
    new MainPlayerControls(*m_mainWindow, m_commands, m_keys);
    // Signals caught from here on, during the load too, end the program through the
    // main window's unload once the event loop runs.
    connect(m_quitSignals.get(), &QuitSignals::quitRequested, m_mainWindow.get(), &QWidget::close);
    if (auto* app = QCoreApplication::instance())
        connect(app, &QCoreApplication::aboutToQuit, m_mainWindow.get(), &QWidget::close);
}

Session::~Session() {
    m_player.setHooks(nullptr);
}

void Session::start(const QString& commandLine, const DecoderFactory& startDecoder) {
    m_player.Load(
        commandLine, startDecoder ? startDecoder : [] {
            return std::unique_ptr<Decoder>(std::make_unique<AudioEngine>());
        });
    if (m_tray)
        m_tray->applyMainWindowAlwaysTop();
    writeTestStateFile(m_player, *m_mainWindow, m_handOffs);
    if (m_instance)
        m_instance->HookMainWindow(m_mainWindow.get(),
                                   [this](const QString& text) { handOff(text); });
}

void Session::startMediaPlayerService() {
    MprisService::Hooks hooks;
    hooks.raise = [this] {
        m_mainWindow->show();
        m_mainWindow->raise();
        m_mainWindow->activateWindow();
    };
    hooks.quit = [this] { m_mainWindow->close(); };
    hooks.openFile = [this](const QString& path) { handOff(joinCommandLine({path})); };
    m_mpris = std::make_unique<MprisService>(m_player, m_commands, std::move(hooks));
    m_mpris->registerOnSessionBus();
}

void Session::handOff(const QString& commandLine) {
    m_player.adder().AddCommandLine(commandLine, false, true);
    writeTestStateFile(m_player, *m_mainWindow, ++m_handOffs);
}

void Session::loadHiddenWindows() {
    if (m_playListWindow)
        return;
    TaskTrayForm::Hooks hooks;
    hooks.showSettingForm = [this] { m_settingsBridge->showSettingForm(); };
    hooks.showVersionInfo = [this] { Version_Info::showModal(m_mainWindow.get()); };
    m_tray = std::make_unique<TaskTrayForm>(m_player, m_commands, *m_mainWindow, std::move(hooks));
    connect(m_tray.get(), &TaskTrayForm::menuActionDone, this,
            [this] { writeTestStateFile(m_player, *m_mainWindow, m_handOffs); });
    m_playListWindow = std::make_unique<PlayListForm>(m_player, m_commands, m_mainWindow.get());
    m_tray->attachPlayListWindow(m_playListWindow.get());
    m_settingsBridge->addConfigWindow(m_playListWindow.get());
    // After the playlist window has its place: a saved always-on-top switch shows it.
    m_settingsBridge->addConfigWindow(m_tray.get());
}

void Session::uncheckAlwaysTop() {
    if (m_tray)
        m_tray->uncheckAlwaysTop();
}

void Session::LoadConfig(Settings& settings, PlaylistModel& playlist) {
    m_settingsBridge->LoadConfig(settings, playlist);
}

void Session::showPlayListWindow() {
    // Through the command, so that whatever shows the window's state hears of it.
    if (m_playListWindow && !m_playListWindow->isVisible())
        m_commands.run(Command::View_PlayList);
}

void Session::SaveConfig(const Settings& settings, const PlaylistModel& playlist) {
    m_settingsBridge->SaveConfig(settings, playlist);
}

void Session::unloadWindows() {
    // Hidden for good; the window itself goes with the session, after the settings'
    // bridge has last asked for its values.
    if (m_playListWindow)
        m_playListWindow->hide();
    if (m_tray)
        m_tray->unload();
}

void Session::UnhookMainWindow() {
    if (m_instance)
        m_instance->UnhookMainWindow();
}

} // namespace pelto
