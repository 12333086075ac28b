#pragma once

namespace pelto {

struct Settings;

// A window whose place, size or switches Pelto.cfg keeps (the main window, the
// playlist window, the tray menu's always-on-top marks). The settings hold these
// values from the file to the file; a window takes them when the configuration has
// been read and gives its own back before the file is written, so values of a window
// that is not there go back to the file unchanged.
class ConfigWindow {
public:
    virtual ~ConfigWindow() = default;

    // Right after the configuration was read at start: take the place, size and
    // switches the settings give.
    virtual void applyConfig(const Settings& settings) = 0;
    // Right before the configuration is written at exit: put the window's own place,
    // size and switches into the settings.
    virtual void storeConfig(Settings& settings) const = 0;
};

} // namespace pelto
