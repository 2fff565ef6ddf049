// Headless weston as an unprivileged user.
#include "HeadlessWeston.h"

HeadlessWeston::HeadlessWeston(int width, int height)
{
    // No idle time: the shell would fade the output to black after a while.
    Start({"weston", "--backend=headless-backend.so", "--use-pixman", "--width=" + std::to_string(width),
           "--height=" + std::to_string(height), "--socket=wayland-weston", "--no-config", "--idle-time=0", "--debug"},
          {}, "weston.log", [this] { return !Shoot("").bytes.empty(); });
}

Screenshot HeadlessWeston::Shoot(const std::string& /*output*/) const
{
    // weston-screenshooter writes wayland-screenshot-<time>.png into its working folder.
    const std::string folder = Shared() + "/shots";
    if (Run("rm -rf " + folder + " && mkdir " + folder + " && cd " + folder +
            " && weston-screenshooter && mv wayland-screenshot-*.png ../shot.png") != 0)
        return Screenshot{};
    return ReadPicture(Shared() + "/shot.png");
}
