#pragma once
// Whether the desktop composites windows: only then is a translucent window drawn over what
// lies behind it. Without a compositing manager an X11 server shows a translucent window's
// clear pixels black.
#include <QString>

namespace Platform {

// qpaPlatform: the application's platform plugin (QGuiApplication::platformName()). On X11 a
// compositing manager owns the selection "_NET_WM_CM_S<screen>" of the display's screen;
// Wayland, Windows and macOS always composite, and so does drawing off screen; any other
// platform is taken not to.
bool desktopComposites(const QString &qpaPlatform);

} // namespace Platform
