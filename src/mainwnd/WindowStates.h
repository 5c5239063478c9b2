#pragma once
// Window-manager states that the toolkit cannot switch on a running window without
// re-creating it (a new native window loses its other states). One implementation per
// window system, picked by CMake.

class QWidget;

// Before every show: no taskbar or pager entry, and the topmost band as asked. A window
// manager drops these states whenever the window is hidden, so they are set again each time.
void PrepareWindowStates(QWidget *window, bool topMost);

// On a shown window: enter or leave the topmost band without moving or sizing it.
void SetStaysOnTop(QWidget *window, bool topMost);

// While a dialog of the window is up: the window manager gives the window no focus, so a
// click on it leaves the keyboard with the dialog.
void SetFocusRefused(QWidget *window, bool refused);
