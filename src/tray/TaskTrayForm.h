#pragma once

#include "settings/ConfigWindow.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

class QAction;
class QSystemTrayIcon;
class QWidget;

namespace pelto {

class ControlCommands;
class Player;
class TrayMenu;

// The program's place in the notification area: the tray icon with the tip "Pelto"
// and the popup menu mnuTray, with what each item does. A left-button press on the
// icon shows the main window and brings it to the front (keeping it on top only
// while "常に手前に表示" is checked); a right-button press opens the menu at the
// pointer; nothing else on the icon does anything. The main window's power button
// opens the same menu (popupTrayMenu), which also serves a desktop without a tray.
//
// The always-on-top switches are the menu's check marks, kept in Pelto.cfg as a
// ConfigWindow; every change of them goes through SetAlwaysTop. The playlist item's
// check mark follows the playlist window's visibility after each show-or-hide
// command. The windows above the tray (the settings dialog, the about box) are opened
// through hooks the program's owner gives.
class TaskTrayForm : public QObject, public ConfigWindow {
    Q_OBJECT
public:
    struct Hooks {
        std::function<void()> showSettingForm;
        std::function<void()> showVersionInfo;
    };

    // Puts up the icon (or says once on stderr that the desktop has no tray) and
    // installs the power button's popupTrayMenu. The main window must outlive it.
    TaskTrayForm(Player& player, ControlCommands& commands, QWidget& mainWindow, Hooks hooks,
                 QObject* parent = nullptr);
    ~TaskTrayForm() override;

    TrayMenu& menu() { return *m_menu; }
    const TrayMenu& menu() const { return *m_menu; }
    // Whether the icon is up in a tray.
    bool iconShown() const;

    // The playlist window, loaded after the tray: the target of the playlist's
    // always-on-top switch, and whose visibility the playlist item's check mark shows
    // after each show-or-hide command (View_PlayList_Menu_Click, which the window
    // installed and the tray wraps).
    void attachPlayListWindow(QWidget* window);

    // The icon's left-button press (the 513 action).
    void leftButtonDown();
    // The icon's right-button press and the power button: the menu at the pointer.
    void popupMenu();

    // Unchecks "常に手前に表示" (the load's step after the hidden windows).
    void uncheckAlwaysTop();
    // The main window's saved switch, once the load has shown the window: SetAlwaysTop
    // when "常に手前に表示" is checked. Done after the showing, not when the file is
    // read, so the window appears once, skinned and in its place.
    void applyMainWindowAlwaysTop();
    // Removes the icon (the main window's unload).
    void unload();

    // ConfigWindow: the check marks from and to AlwaysTop and AlwaysTopPlaylist; a
    // saved playlist switch of 1 puts the playlist window on top at once (showing it).
    void applyConfig(const Settings& settings) override;
    void storeConfig(Settings& settings) const override;

signals:
    // A menu item has done its work.
    void menuActionDone();

private:
    void wireItems();
    void on(QAction* item, std::function<void()> work);

    Player& m_player;
    ControlCommands& m_commands;
    QWidget& m_mainWindow;
    Hooks m_hooks;
    std::unique_ptr<TrayMenu> m_menu;
    std::unique_ptr<QSystemTrayIcon> m_icon;
    QPointer<QWidget> m_playListWindow;
    std::function<void()> m_formerPopup;
    std::function<void()> m_playListToggle;
    bool m_wrapsPlayListToggle = false;
};

} // namespace pelto
