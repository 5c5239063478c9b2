// X11: the EWMH _NET_WM_STATE property and the place before mapping, client messages
// afterwards. The same build may run on Wayland or offscreen, where it declines and the
// toolkit's hint serves.

#include "WindowStates.h"

#include "X11Connection.h"

#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <vector>

namespace {

// XWayland names its outputs XWAYLAND0, XWAYLAND1, ...
bool IsXWayland()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen && screen->name().startsWith(QLatin1String("XWAYLAND"));
}

// Interned once: each lookup is a round trip to the X server.
struct Atoms {
    explicit Atoms(xcb_connection_t *connection)
        : state(InternAtom(connection, "_NET_WM_STATE")),
          skipTaskbar(InternAtom(connection, "_NET_WM_STATE_SKIP_TASKBAR")),
          skipPager(InternAtom(connection, "_NET_WM_STATE_SKIP_PAGER")),
          above(InternAtom(connection, "_NET_WM_STATE_ABOVE")),
          moveResize(InternAtom(connection, "_NET_WM_MOVERESIZE")),
          windowType(InternAtom(connection, "_NET_WM_WINDOW_TYPE")),
          utility(InternAtom(connection, "_NET_WM_WINDOW_TYPE_UTILITY"))
    {
    }
    xcb_atom_t state, skipTaskbar, skipPager, above, moveResize, windowType, utility;
};

const Atoms &AtomsOf(xcb_connection_t *connection)
{
    static const Atoms atoms(connection);
    return atoms;
}

std::vector<xcb_atom_t> ReadAtoms(xcb_connection_t *connection, xcb_window_t window, xcb_atom_t property)
{
    std::vector<xcb_atom_t> states;
    const auto cookie = xcb_get_property(connection, 0, window, property, XCB_ATOM_ATOM, 0, 64);
    const XcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(connection, cookie, nullptr));
    if (reply && reply->format == 32 && reply->type == XCB_ATOM_ATOM) {
        const auto *atoms = static_cast<const xcb_atom_t *>(xcb_get_property_value(reply.get()));
        states.assign(atoms, atoms + xcb_get_property_value_length(reply.get()) / 4);
    }
    return states;
}

void WriteAtoms(xcb_connection_t *connection, xcb_window_t window, xcb_atom_t property,
                const std::vector<xcb_atom_t> &atoms)
{
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, property, XCB_ATOM_ATOM, 32,
                        static_cast<std::uint32_t>(atoms.size()), atoms.data());
}

void SetState(std::vector<xcb_atom_t> &states, xcb_atom_t state, bool on)
{
    std::erase(states, state);
    if (on)
        states.push_back(state);
}

xcb_window_t RootOf(xcb_connection_t *connection)
{
    return xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
}

void SendToRoot(xcb_connection_t *connection, const xcb_client_message_event_t &event)
{
    xcb_send_event(connection, 0, RootOf(connection),
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&event));
    xcb_flush(connection);
}

// _NET_WM_MOVERESIZE directions: the eight edges and corners clockwise from the top left, then move.
std::uint32_t MoveResizeDirection(Qt::Edges edges)
{
    const bool left = edges & Qt::LeftEdge, right = edges & Qt::RightEdge;
    if (edges & Qt::TopEdge)
        return left ? 0 : right ? 2 : 1;
    if (edges & Qt::BottomEdge)
        return left ? 6 : right ? 4 : 5;
    return left ? 7 : right ? 3 : 8;
}

// Qt keeps the place of a native window as the server last reported it, and a report read
// while the window manager was still framing the window can say 0,0. Mapped again, the
// window would then ask for 0,0 as a user-specified position. The widget keeps the place
// the program gave it.
void KeepPlace(QWidget *window)
{
    QWindow *handle = window->windowHandle();
    if (handle && !window->isVisible() && handle->position() != window->pos())
        handle->setPosition(window->pos());
}

} // namespace

void ChooseWindowSystem()
{
    if (!std::getenv("QT_QPA_PLATFORM") && std::getenv("DISPLAY") && std::getenv("WAYLAND_DISPLAY"))
        ::setenv("QT_QPA_PLATFORM", "xcb", 1);
}

bool PrepareNativeWindowStates(QWidget *window, bool topMost)
{
    xcb_connection_t *connection = X11Connection();
    if (!connection)
        return false;
    const Atoms &atoms = AtomsOf(connection);
    const auto id = static_cast<xcb_window_t>(window->winId());
    KeepPlace(window);
    std::vector<xcb_atom_t> states = ReadAtoms(connection, id, atoms.state);
    SetState(states, atoms.skipTaskbar, true);
    SetState(states, atoms.skipPager, true);
    SetState(states, atoms.above, topMost);
    WriteAtoms(connection, id, atoms.state, states);
    // Weston keeps utility windows out of its shell, which then neither moves them nor lets
    // them move themselves. On XWayland the window is an ordinary one; the skip states above
    // still keep it out of task lists.
    if (IsXWayland()) {
        std::vector<xcb_atom_t> types = ReadAtoms(connection, id, atoms.windowType);
        SetState(types, atoms.utility, false);
        WriteAtoms(connection, id, atoms.windowType, types);
    }
    xcb_flush(connection);
    return true;
}

bool SetNativeStaysOnTop(QWidget *window, bool topMost)
{
    xcb_connection_t *connection = X11Connection();
    if (!connection)
        return false;
    if (topMost)
        window->raise(); // without a window manager nothing else keeps it in front
    xcb_client_message_event_t event {};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = static_cast<xcb_window_t>(window->winId());
    event.type = AtomsOf(connection).state;
    event.data.data32[0] = topMost ? 1 : 0; // _NET_WM_STATE_ADD or _REMOVE
    event.data.data32[1] = AtomsOf(connection).above;
    event.data.data32[3] = 1; // from a normal application
    SendToRoot(connection, event);
    return true;
}

// A compositor's window manager for X11 programs may refuse to let them move themselves
// (Weston does): there the manager drags the window. The toolkit's own request gives it
// the pointer in the wrong coordinates, so the message is ours.
bool StartNativeMoveResize(QWidget *window, Qt::Edges edges, const QPoint &globalPos)
{
    xcb_connection_t *connection = X11Connection();
    if (!connection || !IsXWayland())
        return false;
    xcb_ungrab_pointer(connection, XCB_CURRENT_TIME); // the press grabbed it for us; the manager needs it
    xcb_client_message_event_t event {};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = static_cast<xcb_window_t>(window->winId());
    event.type = AtomsOf(connection).moveResize;
    event.data.data32[0] = static_cast<std::uint32_t>(globalPos.x());
    event.data.data32[1] = static_cast<std::uint32_t>(globalPos.y());
    event.data.data32[2] = MoveResizeDirection(edges);
    event.data.data32[3] = 1; // the left button
    event.data.data32[4] = 1; // from a normal application
    SendToRoot(connection, event);
    return true;
}

bool HandleNativeMessage(QWidget *, void *, qintptr *)
{
    return false;
}

bool NativeWindowPosition(QWidget *window, QPoint &position)
{
    xcb_connection_t *connection = X11Connection();
    if (!connection || !window->isVisible())
        return false;
    const auto id = static_cast<xcb_window_t>(window->winId());
    const XcbReply<xcb_translate_coordinates_reply_t> reply(xcb_translate_coordinates_reply(
        connection, xcb_translate_coordinates(connection, id, RootOf(connection), 0, 0), nullptr));
    if (!reply)
        return false;
    position = QPoint(reply->dst_x, reply->dst_y);
    return true;
}

// The toolkit activates a window on a mouse press, whatever blocks it, unless the window
// takes no focus. Setting that rewrites the window's states from the toolkit's flags too,
// which know nothing of the topmost band set here: a shown window gets it back. (A hidden
// one has no states; they are set again before it is shown.)
bool SetNativeFocusRefused(QWidget *window, bool refused)
{
    QWindow *handle = window->windowHandle();
    xcb_connection_t *connection = X11Connection();
    if (!connection)
        return false;
    if (!handle || handle->flags().testFlag(Qt::WindowDoesNotAcceptFocus) == refused)
        return true;
    const Atoms &atoms = AtomsOf(connection);
    const auto id = static_cast<xcb_window_t>(window->winId());
    const bool above = std::ranges::count(ReadAtoms(connection, id, atoms.state), atoms.above) > 0;
    handle->setFlag(Qt::WindowDoesNotAcceptFocus, refused);
    if (above && window->isVisible())
        SetStaysOnTop(window, true);
    return true;
}
