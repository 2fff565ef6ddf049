// The generated layer-shell client code, for C++: its get_layer_surface request names a
// parameter "namespace", a C++ keyword, which is renamed while the header is read.
#pragma once

#define namespace layer_namespace
#include "wlr-layer-shell-unstable-v1-client-protocol.h"
#undef namespace
