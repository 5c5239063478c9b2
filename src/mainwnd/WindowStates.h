#pragma once
// Window-manager states that the toolkit cannot switch on a running window without
// re-creating it (a new native window loses its other states), and drags that only the
// window manager may carry out. The window system's own way is chosen at run time, by the
// platform the program runs on; where it has none (Wayland, offscreen), the toolkit's hint
// stands in.

#include <QRect>
#include <Qt>

class QPoint;
class QWidget;

// Before the toolkit starts: the window system to run on, where there is a choice. Wayland
// lets no window place itself or stay on top, so Linux runs on X11 (XWayland) when both are
// there, unless the user chose a platform.
void ChooseWindowSystem();

// Before every show: no taskbar or pager entry, and the topmost band as asked. A window
// manager drops these states whenever the window is hidden, so they are set again each time.
void PrepareWindowStates(QWidget *window, bool topMost);

// On a shown window: enter or leave the topmost band without moving or sizing it.
void SetStaysOnTop(QWidget *window, bool topMost);

// While a dialog of the window is up: the window manager gives the window no focus, so a
// click on it leaves the keyboard with the dialog.
void SetFocusRefused(QWidget *window, bool refused);

// The window system's own way, one implementation per OS chosen by CMake: false when the
// running platform is not the one it speaks to, so that the caller falls back to the hint.
bool PrepareNativeWindowStates(QWidget *window, bool topMost);
bool SetNativeStaysOnTop(QWidget *window, bool topMost);
bool SetNativeFocusRefused(QWidget *window, bool refused);

// A left-button drag handed to the window manager, which moves the window (no `edges`) or
// sizes it by `edges`, following the pointer from `globalPos`. False where the program
// moves the window itself.
bool StartNativeMoveResize(QWidget *window, Qt::Edges edges, const QPoint &globalPos);

// A native message of `window` that the window system's own way answers (Windows: the hit
// test, so that the system's move loop drags the window by its graph and its size loop
// sizes it by its edges). False: the toolkit handles the message.
bool HandleNativeMessage(QWidget *window, void *message, qintptr *result);

// A shown window's position as the window system has it, for the toolkit's idea may be
// wrong after the window manager moved the window (Weston's notices are). False where the
// toolkit's idea is all there is.
bool NativeWindowPosition(QWidget *window, QPoint &position);

// Where the user sees a window: after the window manager moved it, the toolkit's idea of the
// place may be wrong (Weston's notices are), while the window system knows.
QRect ShownGeometry(QWidget *window);
