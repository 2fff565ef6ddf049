// Headless mutter as an unprivileged user.
#include "HeadlessMutter.h"

#include "support/WaitUntil.h"

#include <filesystem>

#ifndef MUTTER_TEST_INPUT
#error "MUTTER_TEST_INPUT must name the built mutter-test-input helper"
#endif

using namespace std::chrono_literals;

HeadlessMutter::HeadlessMutter(int width, int height)
{
    if (!StartSessionBus())
        return;
    // PipeWire, and its session manager that lets the screen cast's stream be read.
    // mutter connects to PipeWire once: its socket must be there first.
    StartService({"pipewire"});
    StartService({"wireplumber"});
    if (!WaitUntil([&] { return std::filesystem::exists(m_folder / "run" / "pipewire-0"); }, 5s, 20ms))
        return;
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
