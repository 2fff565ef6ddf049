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
    // Where libdbus and GLib look for the session bus when no address is given.
    const std::string bus = (m_folder / "run" / "bus").string();
    AddToEnvironment("DBUS_SESSION_BUS_ADDRESS=unix:path=" + bus);
    m_services.push_back(std::make_unique<SessionProgram>(
        *this, std::vector<std::string>{"dbus-daemon", "--session", "--nofork", "--nopidfile", "--address=unix:path=" + bus}));
    if (!WaitUntil([&] { return std::filesystem::exists(bus); }, 5s, 20ms))
        return;
    // PipeWire, and its session manager that lets the screen cast's stream be read.
    m_services.push_back(std::make_unique<SessionProgram>(*this, std::vector<std::string>{"pipewire"}));
    m_services.push_back(std::make_unique<SessionProgram>(*this, std::vector<std::string>{"wireplumber"}));
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
