#pragma once

namespace pelto {

// Whether the desktop's tray is a StatusNotifierItem host on the session bus (KDE
// Plasma, GNOME's AppIndicator extension, waybar, XFCE's panel): the watcher says a host
// is registered. Such a host shows the icon's menu itself, from the menu the icon
// exports. Asked with a short timeout, so a bus that does not answer costs little.
bool statusNotifierHostPresent();

} // namespace pelto
