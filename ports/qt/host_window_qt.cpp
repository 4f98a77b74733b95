#include "ports/qt/host_window_qt.h"

#include <QGuiApplication>
#include <xcb/xcb.h>

namespace {

xcb_connection_t* Connection() {
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (!app) return nullptr;
    auto* x11 = app->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

} // namespace

bool X11WindowSize(uintptr_t id, int32_t* width, int32_t* height) {
    xcb_connection_t* connection = Connection();
    if (!connection || id == 0 || id > UINT32_MAX) return false;
    // The attributes tell a window from a pixmap, which also has a geometry.
    xcb_window_t window = static_cast<xcb_window_t>(id);
    xcb_get_window_attributes_cookie_t attrCookie = xcb_get_window_attributes(connection, window);
    xcb_get_geometry_cookie_t geoCookie = xcb_get_geometry(connection, window);
    xcb_generic_error_t* error = nullptr;
    xcb_get_window_attributes_reply_t* attributes =
        xcb_get_window_attributes_reply(connection, attrCookie, &error);
    free(error);
    error = nullptr;
    xcb_get_geometry_reply_t* geometry = xcb_get_geometry_reply(connection, geoCookie, &error);
    free(error);
    bool found = attributes && geometry;
    if (found) {
        *width = geometry->width;
        *height = geometry->height;
    }
    free(attributes);
    free(geometry);
    return found;
}

uintptr_t X11RootWindow() {
    xcb_connection_t* connection = Connection();
    if (!connection) return 0;
    const xcb_setup_t* setup = xcb_get_setup(connection);
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(setup);
    return screens.rem > 0 ? screens.data->root : 0;
}
