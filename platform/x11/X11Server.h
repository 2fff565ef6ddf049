// What an X server and a connection to it offer the frames: whether the server can
// share this machine's memory, and whether a window's visual takes the raster's
// pixels as they are.
#pragma once

#include <cstdint>
#include <xcb/shm.h>
#include <xcb/xcb.h>

// True when the connection is a local socket, so that the server can attach this
// machine's shared memory segments.
bool X11ConnectionIsLocal(xcb_connection_t* c);
// The server's MIT-SHM extension; null when it offers none.
const xcb_query_extension_reply_t* X11SharedMemoryExtension(xcb_connection_t* c);
// The visual the server lists as id, and its depth; null when it lists none.
const xcb_visualtype_t* X11FindVisual(const xcb_setup_t* setup, xcb_visualid_t id, std::uint8_t& depth);
// The depth of a visual (24 or 32) when it takes the raster's 0xFFRRGGBB pixels as they
// are: TrueColor, 8 bits a channel in those bits of a 32-bit pixel, in this machine's
// byte order; 0 when it does not.
std::uint8_t X11VisualRasterDepth(const xcb_setup_t* setup, xcb_visualid_t id);
// The same for a window's visual; 0 also when the window is gone.
std::uint8_t X11RasterDepth(xcb_connection_t* c, xcb_window_t window);
