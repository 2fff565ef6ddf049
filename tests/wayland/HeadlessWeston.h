// A compositor without layer-shell, as GNOME's is: weston on its headless backend with
// the pixman renderer and one output, as an unprivileged user, its desktop shell and
// its screenshots (weston-screenshooter, which --debug allows). It has no input devices.
#pragma once

#include "HeadlessCompositor.h"

class HeadlessWeston : public HeadlessCompositor {
public:
    // Starts weston with one output of width x height pixels and waits until a
    // screenshot can be taken. Started() tells whether that worked.
    HeadlessWeston(int width, int height);

    // The whole of the one output (the name is not used).
    Screenshot Shoot(const std::string& output) const override;
};
