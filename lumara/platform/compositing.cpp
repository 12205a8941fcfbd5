#include "platform/compositing.h"

#include <QByteArray>

#include <xcb/xcb.h>

#include <cstdlib>

namespace {

bool x11Composites()
{
    int screen = 0;
    xcb_connection_t *connection = xcb_connect(nullptr, &screen);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return false;
    }
    const QByteArray name = QByteArrayLiteral("_NET_WM_CM_S") + QByteArray::number(screen);
    // Only an existing atom: without one no manager ever announced itself.
    xcb_intern_atom_reply_t *atom = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 1, uint16_t(name.size()), name.constData()), nullptr);
    bool owned = false;
    if (atom && atom->atom != XCB_ATOM_NONE) {
        xcb_get_selection_owner_reply_t *owner =
            xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, atom->atom), nullptr);
        owned = owner && owner->owner != XCB_WINDOW_NONE;
        std::free(owner);
    }
    std::free(atom);
    xcb_disconnect(connection);
    return owned;
}

} // namespace

bool Platform::desktopComposites(const QString &qpaPlatform)
{
    if (qpaPlatform == QLatin1String("xcb"))
        return x11Composites();
    // Off screen every window is an image of its own: nothing behind it to black out.
    return qpaPlatform.startsWith(QLatin1String("wayland")) || qpaPlatform == QLatin1String("windows")
        || qpaPlatform == QLatin1String("cocoa") || qpaPlatform == QLatin1String("offscreen");
}
