// Headless mutter as an unprivileged user.
#include "HeadlessMutter.h"

#ifndef MUTTER_TEST_INPUT
#error "MUTTER_TEST_INPUT must name the built mutter-test-input helper"
#endif

HeadlessMutter::HeadlessMutter(int width, int height)
{
    if (!StartSessionBus())
        return;
    // PipeWire, and its session manager that lets the screen cast's stream be read.
    StartService({"pipewire"});
    StartService({"wireplumber"});
    Start({"mutter", "--headless", "--wayland", "--no-x11", "--virtual-monitor",
           std::to_string(width) + "x" + std::to_string(height), "--wayland-display", "wayland-mutter"},
          {}, "mutter.log", [this] { return !Shoot("").bytes.empty(); });
}

Screenshot HeadlessMutter::Shoot(const std::string& /*output*/) const
{
    const std::string shot = Shared() + "/shot.png";
    if (Run("rm -f " + shot + " && " MUTTER_TEST_INPUT " --shoot " + shot) != 0)
        return Screenshot{};
    return ReadPicture(shot);
}

std::string HeadlessMutter::InputHelper() const
{
    return MUTTER_TEST_INPUT;
}
