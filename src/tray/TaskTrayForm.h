#pragma once

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

class QAction;
class QSystemTrayIcon;
class QWidget;

namespace pelto {

class ControlCommands;
class TrayMenu;
struct Settings;

// The program's place in the notification area: the tray icon with the tip "Pelto"
// and the popup menu mnuTray, with what each item does. A left-button press on the
// icon shows the main window and brings it to the front (keeping it on top only
// while "常に手前に表示" is checked); a right-button press opens the menu at the
// pointer; nothing else on the icon does anything. The main window's power button
// opens the same menu (the commands' trayMenuRequested), which also serves a desktop
// without a tray. Every item acts through the commands.
//
// The always-on-top switches are the menu's check marks, kept in Pelto.cfg; every
// change of them goes through SetAlwaysTop. The playlist item's check mark shows the
// playlist window's visibility (setPlaylistChecked, which follows the window).
class TaskTrayForm : public QObject {
    Q_OBJECT
public:
    // Puts up the icon (or says once on stderr that the desktop has no tray). The
    // main window and the settings must outlive it.
    TaskTrayForm(ControlCommands& commands, const Settings& settings, QWidget& mainWindow,
                 QObject* parent = nullptr);
    ~TaskTrayForm() override;

    TrayMenu& menu() { return *m_menu; }
    const TrayMenu& menu() const { return *m_menu; }
    // Whether the icon is up in a tray.
    bool iconShown() const;

    // The playlist window, loaded after the tray: the target of the playlist's
    // always-on-top switch.
    void attachPlaylistWindow(QWidget* window) { m_playlistWindow = window; }
    // The playlist item's check mark: whether the playlist window shows.
    void setPlaylistChecked(bool visible);

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

    // The check marks from and to Pelto.cfg's AlwaysTop and AlwaysTopPlaylist; a
    // saved playlist switch of 1 puts the playlist window on top at once (showing it).
    void applyConfig(const Settings& settings);
    void storeConfig(Settings& settings) const;

signals:
    // A menu item has done its work.
    void menuActionDone();

private:
    void wireItems();
    void on(QAction* item, std::function<void()> work);

    ControlCommands& m_commands;
    const Settings& m_settings;
    QWidget& m_mainWindow;
    std::unique_ptr<TrayMenu> m_menu;
    std::unique_ptr<QSystemTrayIcon> m_icon;
    QPointer<QWidget> m_playlistWindow;
};

} // namespace pelto
