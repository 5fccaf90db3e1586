#include "Platform/X11Desktop.h"

#include <QGuiApplication>
#include <QRegion>
#include <X11/Xlib.h>
#include <X11/extensions/shape.h>
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>
#include <xcb/xcb.h>

namespace vantory::X11Desktop {

namespace {

constexpr std::uint32_t allDesktops = 0xFFFFFFFF;
constexpr std::uint32_t addState = 1;
// Asked as a pager would: window managers honour that without weighing it as focus stealing.
constexpr std::uint32_t fromPager = 2;

struct Connection {
    xcb_connection_t* xcb = nullptr;
    xcb_window_t root = 0;
    int screenNumber = 0;
};

std::optional<Connection> x11()
{
    auto* native = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!native || !native->connection())
        return std::nullopt;
    Connection connection{native->connection(), 0, 0};
    // The screen the application was opened on: the number after the dot of DISPLAY.
    if (const char* display = std::getenv("DISPLAY")) {
        const std::string name(display);
        if (const auto dot = name.rfind('.'); dot != std::string::npos && dot > name.rfind(':'))
            connection.screenNumber = std::atoi(name.c_str() + dot + 1);
    }
    auto it = xcb_setup_roots_iterator(xcb_get_setup(connection.xcb));
    for (int i = 0; it.rem && i < connection.screenNumber; ++i)
        xcb_screen_next(&it);
    if (!it.rem)
        return std::nullopt;
    connection.root = it.data->root;
    return connection;
}

xcb_atom_t atom(xcb_connection_t* xcb, const std::string& name)
{
    auto cookie = xcb_intern_atom(xcb, 0, static_cast<std::uint16_t>(name.size()), name.c_str());
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(xcb_intern_atom_reply(xcb, cookie, nullptr), &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// A request to the window manager about a mapped window, as the window-manager hints
// convention has it: a client message to the root window.
void askWindowManager(const Connection& c, xcb_window_t window, xcb_atom_t type, std::uint32_t d0, std::uint32_t d1 = 0,
                      std::uint32_t d2 = 0)
{
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = type;
    event.data.data32[0] = d0;
    event.data.data32[1] = d1;
    event.data.data32[2] = d2;
    event.data.data32[3] = 1; // from a normal application
    xcb_send_event(c.xcb, 0, c.root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
}

// Adds the atoms missing from a window's atom-list property.
void addToProperty(const Connection& c, xcb_window_t window, xcb_atom_t property, const std::vector<xcb_atom_t>& atoms)
{
    std::vector<xcb_atom_t> present;
    auto cookie = xcb_get_property(c.xcb, 0, window, property, XCB_ATOM_ATOM, 0, 64);
    std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(xcb_get_property_reply(c.xcb, cookie, nullptr),
                                                                          &std::free);
    if (reply && reply->format == 32) {
        const auto* values = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
        present.assign(values, values + xcb_get_property_value_length(reply.get()) / 4);
    }
    for (xcb_atom_t wanted : atoms) {
        if (std::find(present.begin(), present.end(), wanted) == present.end())
            present.push_back(wanted);
    }
    xcb_change_property(c.xcb, XCB_PROP_MODE_REPLACE, window, property, XCB_ATOM_ATOM, 32,
                        static_cast<std::uint32_t>(present.size()), present.data());
}

} // namespace

void keepOnAllDesktops(WId window)
{
    const auto c = x11();
    if (!c || !window)
        return;
    const auto id = static_cast<xcb_window_t>(window);
    const xcb_atom_t desktop = atom(c->xcb, "_NET_WM_DESKTOP");
    const xcb_atom_t state = atom(c->xcb, "_NET_WM_STATE");
    const std::vector<xcb_atom_t> wanted = {atom(c->xcb, "_NET_WM_STATE_SKIP_TASKBAR"), atom(c->xcb, "_NET_WM_STATE_SKIP_PAGER"),
                                            atom(c->xcb, "_NET_WM_STATE_STICKY"), atom(c->xcb, "_NET_WM_STATE_ABOVE")};

    // Before the window is mapped its properties speak for it; once mapped, the window
    // manager owns them and is asked by message.
    xcb_change_property(c->xcb, XCB_PROP_MODE_REPLACE, id, desktop, XCB_ATOM_CARDINAL, 32, 1, &allDesktops);
    addToProperty(*c, id, state, wanted);
    askWindowManager(*c, id, desktop, allDesktops);
    askWindowManager(*c, id, state, addState, wanted[0], wanted[1]);
    askWindowManager(*c, id, state, addState, wanted[2], wanted[3]);
    xcb_flush(c->xcb);
}

WId activeWindow()
{
    const auto c = x11();
    if (!c)
        return 0;
    auto cookie = xcb_get_property(c->xcb, 0, c->root, atom(c->xcb, "_NET_ACTIVE_WINDOW"), XCB_ATOM_WINDOW, 0, 1);
    std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(xcb_get_property_reply(c->xcb, cookie, nullptr),
                                                                          &std::free);
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) < 4)
        return 0;
    return *static_cast<const xcb_window_t*>(xcb_get_property_value(reply.get()));
}

void activate(WId window, WId from)
{
    const auto c = x11();
    if (!c || !window)
        return;
    askWindowManager(*c, static_cast<xcb_window_t>(window), atom(c->xcb, "_NET_ACTIVE_WINDOW"), fromPager, XCB_CURRENT_TIME,
                     static_cast<std::uint32_t>(from));
    xcb_flush(c->xcb);
}

void setInputRegion(WId window, const QRegion& region)
{
    auto* native = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = native ? native->display() : nullptr;
    if (!display || !window)
        return;
    const auto id = static_cast<Window>(window);
    if (region.isEmpty()) {
        XShapeCombineMask(display, id, ShapeInput, 0, 0, None, ShapeSet);
    } else {
        std::vector<XRectangle> rectangles;
        for (const QRect& rect : region)
            rectangles.push_back({static_cast<short>(rect.x()), static_cast<short>(rect.y()),
                                  static_cast<unsigned short>(rect.width()), static_cast<unsigned short>(rect.height())});
        XShapeCombineRectangles(display, id, ShapeInput, 0, 0, rectangles.data(), static_cast<int>(rectangles.size()),
                                ShapeSet, Unsorted);
    }
    XFlush(display);
}

bool hasCompositor()
{
    const auto c = x11();
    if (!c)
        return false;
    const xcb_atom_t selection = atom(c->xcb, "_NET_WM_CM_S" + std::to_string(c->screenNumber));
    if (selection == XCB_ATOM_NONE)
        return false;
    std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)> reply(
        xcb_get_selection_owner_reply(c->xcb, xcb_get_selection_owner(c->xcb, selection), nullptr), &std::free);
    return reply && reply->owner != XCB_NONE;
}

} // namespace vantory::X11Desktop
