#pragma once

#include <QString>

namespace pelto {

struct Settings;
class PlaylistModel;

// The steps of the main window's load and unload that belong to other windows and
// modules (configuration file, tray, playlist window, single instance). The program's
// owner implements them; the defaults do what a fresh start without those parts gives
// (nothing is read or written, the playlist window is hidden).
class LifecycleHooks {
public:
    virtual ~LifecycleHooks() = default;

    // Loads the hidden tray window (which puts up the tray icon) and the playlist
    // window, neither shown.
    virtual void loadHiddenWindows() {}
    // Unchecks the tray menu's always-on-top entry.
    virtual void uncheckAlwaysTop() {}
    // Reads the configuration file over the defaults: settings, window places, the
    // current playlist row and whether the playlist window was visible.
    virtual void LoadConfig(Settings& settings, PlaylistModel& playlist) {
        Q_UNUSED(settings);
        Q_UNUSED(playlist);
    }
    // Shows the playlist window and checks its tray menu entry (when it was visible
    // at the last exit).
    virtual void showPlayListWindow() {}

    // Close query: stops taking command lines handed over by later starts.
    virtual void UnhookMainWindow() {}
    // Writes the configuration file.
    virtual void SaveConfig(const Settings& settings, const PlaylistModel& playlist) {
        Q_UNUSED(settings);
        Q_UNUSED(playlist);
    }
    // Unloads the playlist window, the tray window (removing the tray icon), the about
    // box and the skin information window.
    virtual void unloadWindows() {}
};

} // namespace pelto
