// Windows: the system's own topmost band, set in place, and its own move and size loops,
// reached through the hit test as for a window with a caption and a sizing frame. The
// window has a real sizing frame, of no width, so that those loops see one geometry. A tool
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

// The toolkit makes a frameless window without a sizing frame, which Windows' size loop and
// Wine's window manager expect of a window sized by its edges. Given before it is shown.
void GiveSizingFrame(HWND hwnd)
{
    const LONG_PTR style = ::GetWindowLongPtrW(hwnd, GWL_STYLE);
    if (style & WS_THICKFRAME)
        return;
    ::SetWindowLongPtrW(hwnd, GWL_STYLE, style | WS_THICKFRAME);
    ::SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

bool AnswerHitTest(QWidget *window, const MSG *msg, qintptr *result)
{
    if (!window->isEnabled() || QApplication::activeModalWidget())
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
// The sizing frame takes no room: the whole window is client area, where the graph draws.
bool HandleNativeMessage(QWidget *window, void *message, qintptr *result)
{
    const auto *msg = static_cast<const MSG *>(message);
    switch (msg->message) {
    case WM_SHOWWINDOW:
        if (msg->wParam)
            GiveSizingFrame(msg->hwnd);
        return false;
    case WM_NCCALCSIZE:
        *result = 0;
        return true;
    case WM_NCHITTEST:
        return AnswerHitTest(window, msg, result);
    default:
        return false;
    }
}

bool NativeWindowPosition(QWidget *, QPoint &)
{
    return false;
}
