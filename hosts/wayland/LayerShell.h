// The generated layer-shell client code, for C++: its get_layer_surface request names a
// parameter "namespace", a C++ keyword, which is renamed while the header is read. What
// that header includes is read first, outside the renaming.
#pragma once

#include <stddef.h>
#include <stdint.h>
#include <wayland-client.h>

#define namespace layer_namespace
#include "wlr-layer-shell-unstable-v1-client-protocol.h"
#undef namespace
