// X11: the EWMH _NET_WM_STATE property and the place before mapping, client messages afterwards.

#include "WindowStates.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>
#include <xcb/xcb.h>

namespace {

xcb_connection_t *Connection()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t InternAtom(xcb_connection_t *connection, const char *name)
{
    const auto cookie = xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

// Interned once: each lookup is a round trip to the X server.
struct Atoms {
    explicit Atoms(xcb_connection_t *connection)
        : state(InternAtom(connection, "_NET_WM_STATE")),
          skipTaskbar(InternAtom(connection, "_NET_WM_STATE_SKIP_TASKBAR")),
          skipPager(InternAtom(connection, "_NET_WM_STATE_SKIP_PAGER")),
          above(InternAtom(connection, "_NET_WM_STATE_ABOVE"))
    {
    }
    xcb_atom_t state, skipTaskbar, skipPager, above;
};

const Atoms &AtomsOf(xcb_connection_t *connection)
{
    static const Atoms atoms(connection);
    return atoms;
}

std::vector<xcb_atom_t> ReadStates(xcb_connection_t *connection, xcb_window_t window, xcb_atom_t property)
{
    std::vector<xcb_atom_t> states;
    const auto cookie = xcb_get_property(connection, 0, window, property, XCB_ATOM_ATOM, 0, 64);
    xcb_get_property_reply_t *reply = xcb_get_property_reply(connection, cookie, nullptr);
    if (reply && reply->format == 32 && reply->type == XCB_ATOM_ATOM) {
        const auto *atoms = static_cast<const xcb_atom_t *>(xcb_get_property_value(reply));
        states.assign(atoms, atoms + xcb_get_property_value_length(reply) / 4);
    }
    std::free(reply);
    return states;
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

void PrepareWindowStates(QWidget *window, bool topMost)
{
    xcb_connection_t *connection = Connection();
    if (!connection)
        return;
    const Atoms &atoms = AtomsOf(connection);
    const auto id = static_cast<xcb_window_t>(window->winId());
    KeepPlace(window);
    std::vector<xcb_atom_t> states = ReadStates(connection, id, atoms.state);
    SetState(states, atoms.skipTaskbar, true);
    SetState(states, atoms.skipPager, true);
    SetState(states, atoms.above, topMost);
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, atoms.state, XCB_ATOM_ATOM, 32,
                        static_cast<std::uint32_t>(states.size()), states.data());
    xcb_flush(connection);
}

void SetStaysOnTop(QWidget *window, bool topMost)
{
    xcb_connection_t *connection = Connection();
    if (!connection)
        return;
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
    xcb_send_event(connection, 0, RootOf(connection),
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&event));
    xcb_flush(connection);
}

// The toolkit activates a window on a mouse press, whatever blocks it, unless the window
// takes no focus. Setting that rewrites the window's states from the toolkit's flags too,
// which know nothing of the topmost band set here: a shown window gets it back. (A hidden
// one has no states; they are set again before it is shown.)
void SetFocusRefused(QWidget *window, bool refused)
{
    QWindow *handle = window->windowHandle();
    xcb_connection_t *connection = Connection();
    if (!handle || !connection || handle->flags().testFlag(Qt::WindowDoesNotAcceptFocus) == refused)
        return;
    const Atoms &atoms = AtomsOf(connection);
    const auto id = static_cast<xcb_window_t>(window->winId());
    const bool above = std::ranges::count(ReadStates(connection, id, atoms.state), atoms.above) > 0;
    handle->setFlag(Qt::WindowDoesNotAcceptFocus, refused);
    if (above && window->isVisible())
        SetStaysOnTop(window, true);
}
