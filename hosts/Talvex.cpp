// talvex's start-up: the command line, the pictures loaded on a second core, and the
// window system's session.
#include "hosts/Talvex.h"

#include "hosts/EndSignals.h"
#include "hosts/IdleWatch.h"
#include "hosts/MutterIdle.h"
#include "hosts/TalvexError.h"
#include "hosts/TalvexOptions.h"
#include "hosts/wayland/WaylandHost.h"
#include "hosts/wayland/WaylandIdle.h"
#include "hosts/x11/X11Host.h"
#include "hosts/x11/X11Idle.h"
#include "scene/Catalogue.h"
#include "scene/ScenePlan.h"
#include "scene/Tick.h"

#include <cstdio>
#include <cstdlib>
#include <future>
#include <memory>

#ifndef TALVEX_VERSION
#error "TALVEX_VERSION must give the program's version"
#endif

namespace {

// talvex --idle: the watch of the session's idle time, and the show it starts.
int RunIdle(const TalvexOptions& options)
{
    EndSignals::Block();
    const auto idleTime = IdleTime(options.idleMinutes);
    if (options.target == TalvexTarget::Wayland) {
        // GNOME's compositor tells its idle time on the session bus only.
        std::unique_ptr<IdleSource> source = WatchWaylandIdle(idleTime);
        if (source == nullptr)
            source = WatchMutterIdle(idleTime);
        if (source == nullptr)
            throw ETalvexError(NoDisplayStatus, "the compositor tells no idle time (it offers neither "
                                                "ext-idle-notify-v1 nor org_kde_kwin_idle, and no "
                                                "org.gnome.Mutter.IdleMonitor answers on the session bus)");
        std::vector<std::string> show{"--wayland"};
        for (const std::string& output : options.outputs)
            show.insert(show.end(), {"--output", output});
        return RunIdleWatch(*source, show);
    }
    std::unique_ptr<IdleSource> source = WatchX11Idle(idleTime);
    return RunIdleWatch(*source, {"--cover"});
}

} // namespace

int RunTalvex(const std::vector<std::string>& args, const char* hostWindow,
              const std::function<void(Catalogue&)>& afterLoad)
{
    TalvexOptions options;
    std::string problem;
    const WaylandEnvironment wayland{std::getenv("WAYLAND_DISPLAY"), std::getenv("WAYLAND_SOCKET"),
                                     std::getenv("SWAYLOCK_PLUGIN_OUTPUT_NAME")};
    if (!ParseTalvexOptions(args, hostWindow, options, problem, wayland)) {
        std::fprintf(stderr, "talvex: %s\n", problem.c_str());
        return FailureStatus;
    }
    if (options.target == TalvexTarget::Help) {
        std::fputs(TalvexUsage().c_str(), stdout);
        return 0;
    }
    if (options.target == TalvexTarget::Version) {
        std::printf("talvex %s\n", TALVEX_VERSION);
        return 0;
    }

    if (options.idleMinutes > 0) {
        try {
            return RunIdle(options);
        } catch (const ETalvexError& error) {
            std::fprintf(stderr, "talvex: %s\n", error.what());
            return error.Status();
        }
    }

    // Before the loading thread starts, so that it inherits the blocked signals.
    EndSignals::Block();
    // The pictures are unpacked, and the first tick's JPEGs decoded, on a second core
    // while the display and the window are set up.
    std::future<std::unique_ptr<Catalogue>> loading = std::async(std::launch::async, [&afterLoad] {
        std::unique_ptr<Catalogue> pictures = Catalogue::Load(ScreenFormPictures(), JpegDepth::TrueColour);
        DecodeAhead(ScenePlan{}, *pictures);
        if (afterLoad)
            afterLoad(*pictures);
        return pictures;
    });
    try {
        if (options.target == TalvexTarget::Wayland)
            return RunWayland({options.background ? WaylandRole::Background : WaylandRole::Saver, options.outputs},
                              loading);
        return RunX11(options, loading);
    } catch (const ETalvexError& error) {
        std::fprintf(stderr, "talvex: %s\n", error.what());
        return error.Status();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "talvex: %s\n", error.what());
        return FailureStatus;
    }
}
