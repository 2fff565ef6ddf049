// talvex's start-up and event loop: one thread waits on the X connection, the ending
// signals and the tick timer together, and runs each tick to its end.
#include "hosts/Talvex.h"

#include "hosts/EndSignals.h"
#include "hosts/FramePresenter.h"
#include "hosts/TalvexError.h"
#include "hosts/TalvexOptions.h"
#include "hosts/TargetWindow.h"
#include "hosts/TickSchedule.h"
#include "hosts/TickTimer.h"
#include "hosts/XConnection.h"
#include "hosts/wayland/WaylandHost.h"
#include "scene/Catalogue.h"
#include "scene/Scene.h"
#include "scene/Tick.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <memory>
#include <poll.h>

#ifndef TALVEX_VERSION
#error "TALVEX_VERSION must give the program's version"
#endif

namespace {

constexpr auto TickInterval = std::chrono::milliseconds(100);

struct FreeEvent {
    void operator()(xcb_generic_event_t* event) const { std::free(event); }
};

// Everything the loop works with, made in the order it is torn down backwards: the
// frames' way out before the window, the window before the connection.
class Session {
public:
    Session(const TalvexOptions& options, std::future<std::unique_ptr<Catalogue>>& loading)
        : m_window(options.target == TalvexTarget::OwnWindow ? TargetWindow::Own(m_x)
                                                             : TargetWindow::Host(m_x, options.windowId)),
          m_presenter(m_x, *m_window)
    {
        // While the pictures load on the other core.
        m_presenter.Prepare(m_window->ClientWidth(), m_window->ClientHeight());
        try {
            m_pictures = loading.get();
        } catch (const std::exception& error) {
            throw ETalvexError(FailureStatus, std::string("the stored pictures do not load: ") + error.what());
        }
    }

    int Run()
    {
        // A window of its own shows nothing before it is first exposed; a host's
        // window is on the screen already: its first frame comes at once.
        if (!m_window->IsOwn())
            StartTicking();
        for (;;) {
            while (std::unique_ptr<xcb_generic_event_t, FreeEvent> event{xcb_poll_for_event(m_x.Get())}) {
                if (const auto status = Handle(*event); status >= 0)
                    return status;
            }
            if (xcb_connection_has_error(m_x.Get()))
                throw ETalvexError(NoDisplayStatus, "the connection to the display was lost");
            xcb_flush(m_x.Get());
            pollfd waits[] = {{m_x.Fd(), POLLIN, 0}, {m_signals.Fd(), POLLIN, 0}, {m_timer.Fd(), POLLIN, 0}};
            if (poll(waits, 3, -1) < 0 && errno != EINTR)
                throw ETalvexError(FailureStatus, "the event loop's poll failed");
            if (m_signals.Received())
                return 0;
            if (m_timer.Fired()) {
                Tick();
                m_timer.ArmAt(m_schedule.NextAfter(TickSchedule::Clock::now()));
            }
        }
    }

private:
    void StartTicking()
    {
        m_ticking = true;
        m_schedule.Start(TickSchedule::Clock::now());
        Tick();
        m_timer.ArmAt(m_schedule.NextAfter(TickSchedule::Clock::now()));
    }

    void Tick()
    {
        try {
            ComposeTick(m_scene, *m_pictures, FrameSize{m_window->ClientWidth(), m_window->ClientHeight()},
                        m_presenter);
        } catch (const std::exception& error) {
            // As in the saver's window, a failed tick still showed what it drew and the
            // next one goes on; said once, not ten times a second.
            if (!m_tickFailureSaid)
                std::fprintf(stderr, "talvex: a tick failed: %s (further failures are not reported)\n", error.what());
            m_tickFailureSaid = true;
        }
        xcb_flush(m_x.Get());
        // The pictures the plan shows next are decoded now, outside the next tick.
        DecodeAhead(m_scene.Plan, *m_pictures);
    }

    // The exit status when the event ends the run, else -1.
    int Handle(const xcb_generic_event_t& event)
    {
        if (event.response_type == 0) {
            const auto& error = reinterpret_cast<const xcb_generic_error_t&>(event);
            // A request on the window raced its destruction: the host has ended it.
            if (m_window->IsGoneError(error))
                return 0;
            char text[160];
            std::snprintf(text, sizeof text, "X error %u on request %u.%u (resource 0x%x)", error.error_code,
                          error.major_code, error.minor_code, error.resource_id);
            throw ETalvexError(FailureStatus, text);
        }
        if (m_presenter.TakeCompletion(event))
            return -1;
        switch (m_window->Handle(event)) {
        case TargetWindow::Outcome::Gone:
        case TargetWindow::Outcome::CloseAsked:
            return 0;
        case TargetWindow::Outcome::Exposed:
            if (!m_ticking)
                StartTicking();
            else
                m_presenter.Repaint();
            return -1;
        case TargetWindow::Outcome::Nothing:
            return -1;
        }
        return -1;
    }

    XConnection m_x;
    std::unique_ptr<TargetWindow> m_window;
    FramePresenter m_presenter;
    EndSignals m_signals;
    TickTimer m_timer;
    TickSchedule m_schedule{TickInterval};
    std::unique_ptr<Catalogue> m_pictures;
    // The scene this window shows, fresh at start.
    Scene m_scene;
    bool m_ticking = false;
    bool m_tickFailureSaid = false;
};

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
        Session session(options, loading);
        return session.Run();
    } catch (const ETalvexError& error) {
        std::fprintf(stderr, "talvex: %s\n", error.what());
        return error.Status();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "talvex: %s\n", error.what());
        return FailureStatus;
    }
}
