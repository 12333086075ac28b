#include "app/Session.h"

#include "app/CommandLine.h"
#include "app/MultRunningCheck.h"
#include "app/QuitSignals.h"
#include "app/SettingsBridge.h"
#include "app/TestStateFile.h"
#include "audio/AudioEngine.h"
#include "mpris/MprisService.h"
#include "player/AlwaysTop.h"
#include "player/MainPlayer.h"
#include "player/MainPlayerControls.h"
#include "playlistwindow/PlayListForm.h"

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
    m_playListWindow = std::make_unique<PlayListForm>(m_player, m_commands, m_mainWindow.get());
    m_settingsBridge->addConfigWindow(m_playListWindow.get());
}

void Session::LoadConfig(Settings& settings, PlaylistModel& playlist) {
    m_settingsBridge->LoadConfig(settings, playlist);
    // Until the tray menu holds this switch, the saved value is applied here; like the
    // menu item, it shows the window.
    if (settings.AlwaysTopPlaylist == 1 && m_playListWindow)
        SetAlwaysTop(m_playListWindow.get(), true);
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
}

void Session::UnhookMainWindow() {
    if (m_instance)
        m_instance->UnhookMainWindow();
}

} // namespace pelto
