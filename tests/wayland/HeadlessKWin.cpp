// Headless KWin as an unprivileged user.
#include "HeadlessKWin.h"

#include <filesystem>
#include <sys/stat.h>

#ifndef KWIN_TEST_SHOT
#error "KWIN_TEST_SHOT must name the built kwin-test-shot helper"
#endif

namespace fs = std::filesystem;

HeadlessKWin::HeadlessKWin(int width, int height)
{
    // A plain copy keeps no extended attributes, so no capability.
    const fs::path kwin = m_folder / "kwin_wayland";
    std::error_code error;
    fs::copy_file("/usr/bin/kwin_wayland", kwin, error);
    if (error || chmod(kwin.c_str(), 0755) != 0 || !StartSessionBus())
        return;
    Start({kwin.string(), "--virtual", "--width", std::to_string(width), "--height", std::to_string(height),
           "--socket", "wayland-kwin", "--no-lockscreen", "--no-global-shortcuts", "--no-kactivities"},
          {"KWIN_SCREENSHOT_NO_PERMISSION_CHECKS=1", "KWIN_WAYLAND_NO_PERMISSION_CHECKS=1"}, "kwin.log",
          [this] { return !Shoot("").bytes.empty(); });
}

Screenshot HeadlessKWin::Shoot(const std::string& /*output*/) const
{
    const std::string shot = Shared() + "/shot.ppm";
    if (Run("rm -f " + shot + " && " KWIN_TEST_SHOT " " + shot) != 0)
        return Screenshot{};
    return ReadPicture(shot);
}
