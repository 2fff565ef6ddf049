// Headless sway as an unprivileged user, and what the tests do in its session.
#include "HeadlessSway.h"

#include "support/WaitUntil.h"

#include <sys/stat.h>
#include <unistd.h>


using namespace std::chrono_literals;

HeadlessSway::HeadlessSway(const std::vector<SwayOutput>& outputs)
{
    // sway binds its IPC socket where SWAYSOCK says, and swaymsg looks there.
    AddToEnvironment("SWAYSOCK=" + (m_folder / "run" / "sway-ipc.sock").string());
    const SwayOutput& first = outputs.front();
    // Without borders a window tiled alone has the geometry it has full-screen: sway
    // 1.7 sends the pointer's motion when a window goes full-screen under it without
    // the frame event that ends it, and Qt then never delivers that motion. No
    // Xwayland: it would take an X display number beside the tests' Xvfb servers.
    m_folder.Put("sway.conf", "default_border none\nxwayland disable\noutput " + first.name + " resolution " +
                                  std::to_string(first.width) + "x" + std::to_string(first.height) +
                                  " position " + std::to_string(first.x) + " 0 scale " +
                                  std::to_string(first.scale) + "\n");
    chmod((m_folder / "sway.conf").c_str(), 0644);
    // The compositor's own settings, before the program; its IPC socket (named after its
    // pid) answers once it listens.
    Start({"sway", "-c", (m_folder / "sway.conf").string()},
          {"WLR_BACKENDS=headless", "WLR_RENDERER=pixman", "WLR_LIBINPUT_NO_DEVICES=1"}, "sway.log",
          [this] { return Run("swaymsg -t get_version") == 0; });
    for (std::size_t i = 1; Started() && i < outputs.size(); ++i)
        SetStarted(AddOutput(outputs[i]));
}

bool HeadlessSway::AddOutput(const SwayOutput& output)
{
    const std::string mode = std::to_string(output.width) + "x" + std::to_string(output.height);
    const std::string set = "swaymsg output " + output.name + " resolution " + mode + " position " +
                            std::to_string(output.x) + " 0 scale " + std::to_string(output.scale);
    // create_output answers before the output exists; the mode is set once it does.
    return Run("swaymsg create_output") == 0 &&
           WaitUntil([&] { return Run(set) == 0 && !Shoot(output.name).bytes.empty() &&
                                  Shoot(output.name).width == output.width; },
                     10s, 100ms);
}

Screenshot HeadlessSway::Shoot(const std::string& output) const
{
    const std::string path = Shared() + "/" + output + ".png";
    if (Run("grim -o " + output + " " + path) != 0)
        return Screenshot{};
    return ReadPicture(path);
}
