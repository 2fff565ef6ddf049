// GNOME's compositor, mutter, headless with one virtual monitor, as an unprivileged user
// on a session bus of its own (a dbus-daemon whose socket is "bus" in the runtime
// folder), with PipeWire and WirePlumber for its screen casts: screenshots and input go
// through its own services on that bus (mutter-test-input).
#pragma once

#include "HeadlessCompositor.h"

class HeadlessMutter : public HeadlessCompositor {
public:
    HeadlessMutter(int width, int height);

    // The virtual monitor's frame, from a screen cast; output is not looked at.
    Screenshot Shoot(const std::string& output) const override;
    std::string InputHelper() const override;
};
