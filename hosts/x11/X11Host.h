// talvex on an X server: the scene on a host's window (or the root window), or on a
// window of its own, put through the X11 presenter.
#pragma once

#include <future>
#include <memory>

class Catalogue;
struct TalvexOptions;

// The exit status: 0 when SIGTERM or SIGINT, the window's end or its close ended it.
// Raises ETalvexError for the rest: status 1 when no X server answers or the connection
// is lost, 2 for any other failure. loading delivers the pictures.
int RunX11(const TalvexOptions& options, std::future<std::unique_ptr<Catalogue>>& loading);
