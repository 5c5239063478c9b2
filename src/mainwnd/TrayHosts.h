#pragma once
// Whether a notification area is there to take a tray icon now. The toolkit picks its kind
// of tray icon (StatusNotifierItem over D-Bus, or XEmbed on X11) once, when the first is
// made or asked about, and keeps it for the whole run: so the icon is made only when a host
// of either kind is up. One implementation per OS, chosen by CMake.
bool IsNotificationAreaPresent();
