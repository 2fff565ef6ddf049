// talvex's X11 session: the connection, the window and the presenter, plugged into the
// session loop.
#include "hosts/x11/X11Host.h"

#include "hosts/SessionLoop.h"
#include "hosts/TalvexError.h"
#include "hosts/TalvexOptions.h"
#include "hosts/x11/TargetWindow.h"
#include "hosts/x11/XConnection.h"
#include "platform/x11/FramePresenter.h"
#include "scene/Scene.h"
#include "scene/Tick.h"

#include <cstdio>
#include <cstdlib>

namespace {

struct FreeEvent {
    void operator()(xcb_generic_event_t* event) const { std::free(event); }
};

// Everything the session works with, made in the order it is torn down backwards: the
// frames' way out before the window, the window before the connection.
class X11Session : public SessionDisplay, private IFrameSink {
public:
    X11Session(const TalvexOptions& options, std::future<std::unique_ptr<Catalogue>>& loading)
        : m_window(options.target == TalvexTarget::OwnWindow ? TargetWindow::Own(m_x)
                   : options.target == TalvexTarget::Cover   ? TargetWindow::Cover(m_x)
                                                             : TargetWindow::Host(m_x, options.windowId)),
          m_presenter(m_x.Get(), m_window->Id(), m_window->Depth(), m_x.IsLocal())
    {
        // While the pictures load on the other core.
        m_presenter.Prepare(m_window->ClientWidth(), m_window->ClientHeight());
        m_loop.TakePictures(loading);
    }

    int Run()
    {
        // A window of its own shows nothing before it is first exposed; a host's
        // window is on the screen already: its first frame comes at once.
        if (!m_window->IsOwn())
            m_loop.StartTicking();
        return m_loop.Run(*this);
    }

    int Fd() const override { return m_x.Fd(); }

    std::optional<int> TakeIn() override
    {
        // The socket is read when the wait said it has something (and on the first
        // turn); otherwise only what XCB read already, while it waited for a reply.
        const auto next = [this] {
            return m_socketReady ? xcb_poll_for_event(m_x.Get()) : xcb_poll_for_queued_event(m_x.Get());
        };
        while (std::unique_ptr<xcb_generic_event_t, FreeEvent> event{next()}) {
            if (const auto end = Handle(*event))
                return end;
        }
        if (xcb_connection_has_error(m_x.Get()))
            throw ETalvexError(NoDisplayStatus, "the connection to the display was lost");
        return std::nullopt;
    }

    void Tick(Catalogue& pictures) override
    {
        const FrameSize size{m_window->ClientWidth(), m_window->ClientHeight()};
        // The scene composes in the presenter's shared segment, where there is one.
        bool fresh = false;
        Pixel* lent = m_presenter.Lend(size.Width, size.Height, fresh);
        UseFrameMemory(m_scene, Raster::Over(lent, size.Width, size.Height), fresh);
        ComposeTick(m_scene, pictures, size, *this);
    }

    std::optional<int> ReadyWait(bool& wantWrite) override
    {
        // XCB writes what it holds whole, waiting if it must.
        wantWrite = false;
        xcb_flush(m_x.Get());
        return std::nullopt;
    }

    // The events are taken at the next turn.
    std::optional<int> AfterWait(short revents) override
    {
        m_socketReady = revents != 0;
        return std::nullopt;
    }

    void ForEachPlan(const std::function<void(const ScenePlan&)>& visit) const override { visit(m_scene.Plan); }

private:
    void CopyFrame(const Raster& frame, std::span<const Rect> changed) override
    {
        m_presenter.CopyFrame(frame, changed);
    }

    std::optional<int> Handle(const xcb_generic_event_t& event)
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
            return std::nullopt;
        switch (m_window->Handle(event)) {
        case TargetWindow::Outcome::Gone:
        case TargetWindow::Outcome::CloseAsked:
            return 0;
        case TargetWindow::Outcome::Exposed:
            if (!m_loop.Ticking())
                m_loop.StartTicking();
            else
                m_presenter.Repaint();
            return std::nullopt;
        case TargetWindow::Outcome::Nothing:
            return std::nullopt;
        }
        return std::nullopt;
    }

    XConnection m_x;
    std::unique_ptr<TargetWindow> m_window;
    FramePresenter m_presenter;
    SessionLoop m_loop;
    // The last wait said the socket has something to read.
    bool m_socketReady = true;
    // The scene this window shows, fresh at start.
    Scene m_scene;
};

} // namespace

int RunX11(const TalvexOptions& options, std::future<std::unique_ptr<Catalogue>>& loading)
{
    X11Session session(options, loading);
    return session.Run();
}
