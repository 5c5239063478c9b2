#pragma once
// The notification areas the tray icon may live in. One implementation per OS, chosen by CMake.

class QSystemTrayIcon;

// Whether a notification area is there to take a tray icon now. The toolkit picks its kind
// of tray icon (StatusNotifierItem over D-Bus, or XEmbed on X11) once, when the first is
// made or asked about, and keeps it for the whole run: so the icon is made only when a host
// of either kind is up.
bool IsNotificationAreaPresent();

// Whether the host draws the icon itself (a StatusNotifier host) and so sends one activation
// for a primary click and never a double click; an icon drawn by the program (XEmbed, the
// Windows notification area) reports the double click, the gesture that restores.
bool IsTrayIconDrawnByHost(const QSystemTrayIcon &icon);
