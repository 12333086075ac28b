#include "tray/TaskTrayForm.h"

#include "common/FilePlaces.h"
#include "player/AlwaysTop.h"
#include "player/ControlCommands.h"
#include "player/Player.h"
#include "settings/Settings.h"
#include "skin/SkinFiles.h"
#include "skin/SkinInfoForm.h"
#include "tray/TrayMenu.h"

#include <QCursor>
#include <QGuiApplication>
#include <QSystemTrayIcon>
#include <QWidget>

#include <cstdio>
#include <utility>

namespace pelto {

TaskTrayForm::TaskTrayForm(Player& player, ControlCommands& commands, QWidget& mainWindow,
                           Hooks hooks, QObject* parent)
    : QObject(parent), m_player(player), m_commands(commands), m_mainWindow(mainWindow),
      m_hooks(std::move(hooks)), m_menu(std::make_unique<TrayMenu>()),
      m_icon(std::make_unique<QSystemTrayIcon>(QGuiApplication::windowIcon())) {
    wireItems();
    m_player.setSkinMenu(m_menu.get());
    m_icon->setToolTip(QStringLiteral("Pelto"));
    connect(m_icon.get(), &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                // Trigger is the left button going down, Context the right one;
                // double-clicks and the middle button do nothing.
                if (reason == QSystemTrayIcon::Trigger)
                    leftButtonDown();
                else if (reason == QSystemTrayIcon::Context)
                    popupMenu();
            });
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        std::fputs("Pelto: the desktop has no system tray; the menu opens from the power "
                   "button\n",
                   stderr);
    // Shown in any case: a tray that starts later takes the icon.
    if (!m_icon->icon().isNull())
        m_icon->show();
    m_formerPopup = std::exchange(m_commands.popupTrayMenu, [this] { popupMenu(); });
}

TaskTrayForm::~TaskTrayForm() {
    m_player.setSkinMenu(nullptr);
    m_commands.popupTrayMenu = std::move(m_formerPopup);
    if (m_wrapsPlayListToggle)
        m_commands.View_PlayList_Menu_Click = std::move(m_playListToggle);
}

bool TaskTrayForm::iconShown() const {
    return m_icon->isVisible() && QSystemTrayIcon::isSystemTrayAvailable();
}

void TaskTrayForm::attachPlayListWindow(QWidget* window) {
    m_playListWindow = window;
    if (m_wrapsPlayListToggle)
        return;
    m_wrapsPlayListToggle = true;
    m_playListToggle = m_commands.View_PlayList_Menu_Click;
    m_commands.View_PlayList_Menu_Click = [this] {
        if (m_playListToggle)
            m_playListToggle();
        if (m_playListWindow)
            m_menu->View_PlayList_Menu->setChecked(m_playListWindow->isVisible());
    };
}

void TaskTrayForm::on(QAction* item, std::function<void()> work) {
    connect(item, &QAction::triggered, this, [this, work = std::move(work)] {
        work();
        emit menuActionDone();
    });
}

void TaskTrayForm::wireItems() {
    TrayMenu& m = *m_menu;
    // The click has already toggled the switch's mark.
    on(m.AlwaysTop, [this] { SetAlwaysTop(&m_mainWindow, m_menu->AlwaysTop->isChecked()); });
    on(m.AlwaysTopPlaylist,
       [this] { SetAlwaysTop(m_playListWindow, m_menu->AlwaysTopPlaylist->isChecked()); });
    on(m.View_PlayList_Menu, [this] { m_commands.run(Command::View_PlayList); });

    const std::pair<QAction*, Command> playback[] = {
        {m.BackSound_Menu, Command::PlayBackSound}, {m.PlaySound_Menu, Command::Play},
        {m.PauseSound_Menu, Command::PlayPause},    {m.StopSound_Menu, Command::PlayStop},
        {m.NextSound_Menu, Command::PlayNextSound}, {m.PlaySoundTop_Menu, Command::PlaySoundTop},
        {m.OpenSound_Menu, Command::OpenSoundFile}, {m.AddSound_Menu, Command::AddSound_PlayList},
    };
    for (const auto& [item, command] : playback)
        on(item, [this, command = command] { m_commands.run(command); });

    for (int k = 0; k < kTrayVolumeItems; ++k)
        on(m.SetVolume[size_t(k)], [this, k] {
            m_player.settings().WavVolume = std::int16_t(trayVolumeStep(k));
            m_player.ApplyVolume();
        });

    connect(&m, &TrayMenu::skinChosen, this, [this](int, const QString& name) {
        m_player.settings().Skin_FilePath = name;
        m_player.LoadSkin();
        emit menuActionDone();
    });
    on(m.SkinInfomation, [this] {
        SkinInfoForm::showFor(
            skinFolderPath(filePlaces().skinRoots, m_player.settings().Skin_FilePath),
            &m_mainWindow);
    });
    on(m.Setting, [this] {
        if (m_hooks.showSettingForm)
            m_hooks.showSettingForm();
    });
    on(m.VerInfo, [this] {
        if (m_hooks.showVersionInfo)
            m_hooks.showVersionInfo();
    });
    // The main window's unload saves everything and ends the program.
    on(m.End_Program, [this] { m_mainWindow.close(); });
}

void TaskTrayForm::leftButtonDown() {
    // Shown and brought above every other window; on top afterwards only while the
    // switch is on. A minimised window comes back as well.
    if (m_mainWindow.isMinimized())
        m_mainWindow.setWindowState(m_mainWindow.windowState() & ~Qt::WindowMinimized);
    SetAlwaysTop(&m_mainWindow, true);
    if (!m_menu->AlwaysTop->isChecked())
        SetAlwaysTop(&m_mainWindow, false);
    m_mainWindow.activateWindow();
}

void TaskTrayForm::popupMenu() {
    m_menu->popup(QCursor::pos());
}

void TaskTrayForm::uncheckAlwaysTop() {
    m_menu->AlwaysTop->setChecked(false);
}

void TaskTrayForm::applyMainWindowAlwaysTop() {
    if (m_menu->AlwaysTop->isChecked())
        SetAlwaysTop(&m_mainWindow, true);
}

void TaskTrayForm::unload() {
    m_icon->hide();
}

void TaskTrayForm::applyConfig(const Settings& settings) {
    m_menu->AlwaysTop->setChecked(settings.AlwaysTop == 1);
    if (settings.AlwaysTopPlaylist == 1) {
        m_menu->AlwaysTopPlaylist->setChecked(true);
        SetAlwaysTop(m_playListWindow, true);
    }
}

void TaskTrayForm::storeConfig(Settings& settings) const {
    settings.AlwaysTop = m_menu->AlwaysTop->isChecked() ? 1 : 0;
    settings.AlwaysTopPlaylist = m_menu->AlwaysTopPlaylist->isChecked() ? 1 : 0;
}

} // namespace pelto
