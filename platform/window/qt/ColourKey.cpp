// Compositor detection over Qt's X11 connection, and the row copies of a frame into
// the window's image.
#include "platform/window/qt/ColourKey.h"

#include "platform/raster/KeyedSpan.h"

#include <QGuiApplication>
#include <QImage>
#include <QRect>
#include <QString>
#include <algorithm>
#include <cstring>

#if defined(VESKAN_HAVE_XCB_SHM)
#include "platform/x11/KeyShape.h"
#endif
#if defined(VESKAN_HAVE_XCB)
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>
#include <cstdlib>
#include <string>
#endif

namespace {

#if defined(VESKAN_HAVE_XCB)
bool SelectionOwned(xcb_connection_t* connection, const std::string& name)
{
    xcb_intern_atom_cookie_t atomCookie =
        xcb_intern_atom(connection, 1, static_cast<uint16_t>(name.size()), name.c_str());
    xcb_intern_atom_reply_t* atomReply = xcb_intern_atom_reply(connection, atomCookie, nullptr);
    if (!atomReply)
        return false;
    const xcb_atom_t atom = atomReply->atom;
    std::free(atomReply);
    if (atom == XCB_ATOM_NONE)
        return false;   // nobody ever made the atom, so nobody owns the selection
    xcb_get_selection_owner_reply_t* ownerReply =
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, atom), nullptr);
    if (!ownerReply)
        return false;
    const bool owned = ownerReply->owner != XCB_WINDOW_NONE;
    std::free(ownerReply);
    return owned;
}

bool X11CompositorRunning()
{
    xcb_connection_t* connection = QtXcbConnection();
    if (!connection)
        return false;
    const int screens = xcb_setup_roots_length(xcb_get_setup(connection));
    for (int screen = 0; screen < screens; ++screen) {
        if (SelectionOwned(connection, "_NET_WM_CM_S" + std::to_string(screen)))
            return true;
    }
    return false;
}
#else
bool X11CompositorRunning()
{
    return false;
}
#endif

// Rows of an image to write into. Through the const pointer: the image may share its
// pixels with the window's surface, which a detaching write would leave behind.
uchar* WritableRows(QImage& image)
{
    return const_cast<uchar*>(image.constBits());
}

} // namespace

#if defined(VESKAN_HAVE_XCB)
xcb_connection_t* QtXcbConnection()
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}
#endif

bool PlatformShowsColourKey()
{
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform.startsWith(QLatin1String("wayland")))
        return true;
    if (platform == QLatin1String("xcb"))
        return X11CompositorRunning();
    return false;
}

bool PlatformCutsColourKey()
{
#if defined(VESKAN_HAVE_XCB_SHM)
    xcb_connection_t* connection = QtXcbConnection();
    return connection != nullptr && KeyShape::Offered(connection);
#else
    return false;
#endif
}

void CopyFrameInto(QImage& dst, const Raster& frame, const QRect& area, bool keyed, Pixel key)
{
    const QRect part = area & QRect(0, 0, frame.Width(), frame.Height()) & dst.rect();
    if (part.isEmpty())
        return;
    const qsizetype stride = dst.bytesPerLine();
    uchar* rows = WritableRows(dst);
    for (int y = part.top(); y <= part.bottom(); ++y) {
        const Pixel* src = frame.Scanline(y) + part.left();
        auto* out = reinterpret_cast<Pixel*>(rows + y * stride) + part.left();
        if (!keyed) {
            // Raster pixels are 0xFFRRGGBB, which is RGB32 as it stands.
            std::memcpy(out, src, static_cast<std::size_t>(part.width()) * sizeof(Pixel));
            continue;
        }
        CopyKeyedSpan(out, src, static_cast<std::size_t>(part.width()), key);
    }
}

void CopyImageInto(QImage& dst, const QImage& src, const QRect& area)
{
    const QRect part = area & src.rect() & dst.rect();
    if (part.isEmpty())
        return;
    uchar* rows = WritableRows(dst);
    for (int y = part.top(); y <= part.bottom(); ++y) {
        std::memcpy(rows + y * dst.bytesPerLine() + part.left() * 4, src.constScanLine(y) + part.left() * 4,
                    static_cast<std::size_t>(part.width()) * 4);
    }
}

void FillImageArea(QImage& dst, const QRect& area, Pixel colour)
{
    const QRect part = area & dst.rect();
    if (part.isEmpty())
        return;
    uchar* rows = WritableRows(dst);
    for (int y = part.top(); y <= part.bottom(); ++y) {
        auto* out = reinterpret_cast<Pixel*>(rows + y * dst.bytesPerLine()) + part.left();
        std::fill(out, out + part.width(), colour);
    }
}

bool TakesFramePixels(const QImage& image)
{
    switch (image.format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
        return true;
    default:
        return false;
    }
}
