#include "tray/TaskTrayForm.h"

#include "common/FilePlaces.h"
#include "player/AlwaysTop.h"
#include "player/ControlCommands.h"
#include "settings/Settings.h"
#include "skin/SkinFiles.h"
#include "skin/SkinInfoForm.h"
#include "tray/StatusNotifierHost.h"
#include "tray/TrayMenu.h"

#include <QCursor>
#include <QGuiApplication>
#include <QSystemTrayIcon>
#include <QWidget>

#include <cstdio>

namespace pelto {

TaskTrayForm::TaskTrayForm(ControlCommands& commands, const Settings& settings, QWidget& mainWindow,
                           QObject* parent)
    : QObject(parent), m_commands(commands), m_settings(settings), m_mainWindow(mainWindow),
      m_menu(std::make_unique<TrayMenu>()),
      m_icon(std::make_unique<QSystemTrayIcon>(QGuiApplication::windowIcon())) {
    wireItems();
    connect(&commands, &ControlCommands::trayMenuRequested, this, &TaskTrayForm::popupMenu);
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
    // A StatusNotifierItem host draws the menu itself, from the one the icon exports;
    // an XEmbed tray leaves the right button to the popup above.
    if (statusNotifierHostPresent())
        m_icon->setContextMenu(m_menu.get());
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        std::fputs("Pelto: the desktop has no system tray; the menu opens from the power "
                   "button\n",
                   stderr);
    // Shown in any case: a tray that starts later takes the icon.
    if (!m_icon->icon().isNull())
        m_icon->show();
}

TaskTrayForm::~TaskTrayForm() = default;

bool TaskTrayForm::iconShown() const {
    return m_icon->isVisible() && QSystemTrayIcon::isSystemTrayAvailable();
}

void TaskTrayForm::setPlaylistChecked(bool visible) {
    m_menu->View_PlayList_Menu->setChecked(visible);
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
       [this] { SetAlwaysTop(m_playlistWindow, m_menu->AlwaysTopPlaylist->isChecked()); });
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
        on(m.SetVolume[size_t(k)], [this, k] { m_commands.setVolumeStep(trayVolumeStep(k)); });

    connect(&m, &TrayMenu::skinChosen, this, [this](int, const QString& name) {
        m_commands.chooseSkin(name);
        emit menuActionDone();
    });
    on(m.SkinInfomation, [this] {
        SkinInfoForm::showFor(skinFolderPath(filePlaces().skinRoots, m_settings.Skin_FilePath),
                              &m_mainWindow);
    });
    on(m.Setting, [this] { m_commands.showSettingForm(); });
    on(m.VerInfo, [this] { m_commands.showVersionInfo(); });
    // The main window's unload saves everything and ends the program.
    on(m.End_Program, [this] { m_commands.endProgram(); });
}

void TaskTrayForm::leftButtonDown() {
    // Shown and brought above every other window; on top afterwards only while the
    // switch is on. A minimised window comes back as well.
    // Mapped anew: a window manager that takes an activation without a click of the
    // user's for focus stealing (a tray host's Activate over D-Bus) leaves a minimised
    // window where it is otherwise.
    if (m_mainWindow.isMinimized()) {
        m_mainWindow.setWindowState(m_mainWindow.windowState() & ~Qt::WindowMinimized);
        m_mainWindow.show();
    }
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
        SetAlwaysTop(m_playlistWindow, true);
    }
}

void TaskTrayForm::storeConfig(Settings& settings) const {
    settings.AlwaysTop = m_menu->AlwaysTop->isChecked() ? 1 : 0;
    settings.AlwaysTopPlaylist = m_menu->AlwaysTopPlaylist->isChecked() ? 1 : 0;
}

} // namespace pelto
