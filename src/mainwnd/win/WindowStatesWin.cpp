// Windows: the system's own topmost band, set in place, and its own move and size loops,
// reached through the hit test as for a window with a caption and a sizing frame. A tool
// window has no taskbar button already, and the system gives a window disabled under its
// dialog neither input nor focus.

#include "WindowStates.h"

#include "FramelessMover.h"

#include <QApplication>
#include <QWidget>

#include <windows.h>
#include <windowsx.h>

namespace {

LRESULT HitTestOfEdges(Qt::Edges edges)
{
    const bool left = edges & Qt::LeftEdge, right = edges & Qt::RightEdge;
    if (edges & Qt::TopEdge)
        return left ? HTTOPLEFT : right ? HTTOPRIGHT : HTTOP;
    if (edges & Qt::BottomEdge)
        return left ? HTBOTTOMLEFT : right ? HTBOTTOMRIGHT : HTBOTTOM;
    return left ? HTLEFT : HTRIGHT;
}

} // namespace

void ChooseWindowSystem()
{
}

bool PrepareNativeWindowStates(QWidget *window, bool topMost)
{
    return SetNativeStaysOnTop(window, topMost);
}

bool SetNativeStaysOnTop(QWidget *window, bool topMost)
{
    return ::SetWindowPos(reinterpret_cast<HWND>(window->winId()), topMost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0,
                          0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

bool SetNativeFocusRefused(QWidget *, bool)
{
    return true;
}

bool StartNativeMoveResize(QWidget *, Qt::Edges, const QPoint &)
{
    return false;
}

// The sizing border answers its edge; the graph answers "caption" while the left button is
// down (read at this moment, not from the message queue), so the system moves the window
// from the very point pressed. A window blocked by its dialog answers nothing of its own.
bool HandleNativeMessage(QWidget *window, void *message, qintptr *result)
{
    const auto *msg = static_cast<const MSG *>(message);
    if (msg->message != WM_NCHITTEST || !window->isEnabled() || QApplication::activeModalWidget())
        return false;
    POINT point {GET_X_LPARAM(msg->lParam), GET_Y_LPARAM(msg->lParam)};
    RECT client {};
    if (!::ScreenToClient(msg->hwnd, &point) || !::GetClientRect(msg->hwnd, &client) || !::PtInRect(&client, point))
        return false;
    const qreal ratio = window->devicePixelRatioF();
    const QPoint pos(qRound(point.x / ratio), qRound(point.y / ratio));
    if (const Qt::Edges edges = FramelessMover::EdgesAt(pos, window->size())) {
        *result = HitTestOfEdges(edges);
        return true;
    }
    if (!(::GetAsyncKeyState(VK_LBUTTON) & 0x8000))
        return false;
    *result = HTCAPTION;
    return true;
}

bool NativeWindowPosition(QWidget *, QPoint &)
{
    return false;
}
