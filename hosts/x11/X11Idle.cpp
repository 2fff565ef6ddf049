// The X server's idle time.
#include "hosts/x11/X11Idle.h"

#include "hosts/TalvexError.h"
#include "hosts/x11/XConnection.h"

#include <algorithm>
#include <cstdlib>
#include <utility>
#include <xcb/screensaver.h>

namespace {

using Clock = std::chrono::steady_clock;

// While the session is idle, how often the watch looks whether input has come.
constexpr auto IdleLookInterval = std::chrono::seconds(1);

class X11Idle : public IdleSource {
public:
    explicit X11Idle(std::chrono::milliseconds idleTime) : m_idleTime(idleTime)
    {
        const xcb_query_extension_reply_t* extension = xcb_get_extension_data(m_x.Get(), &xcb_screensaver_id);
        if (extension == nullptr || !extension->present)
            throw ETalvexError(NoDisplayStatus, "the X server tells no idle time (it has no MIT-SCREEN-SAVER "
                                                "extension)");
        m_nextLook = Clock::now();
    }

    std::string Name() const override { return "the X server's MIT-SCREEN-SAVER extension"; }

    int Fd() const override { return m_x.Fd(); }

    int ReadyWait() override
    {
        xcb_flush(m_x.Get());
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(m_nextLook - Clock::now());
        return static_cast<int>(std::max<long long>(0, left.count()));
    }

    bool AfterWait(short) override
    {
        // Nothing is selected; errors and the like are let go.
        while (xcb_generic_event_t* event = xcb_poll_for_event(m_x.Get()))
            std::free(event);
        if (xcb_connection_has_error(m_x.Get()))
            throw ETalvexError(NoDisplayStatus, "the connection to the display was lost");
        return Clock::now() >= m_nextLook && Look();
    }

private:
    // Reads the idle time; true when the set time has passed in a spell not said yet.
    bool Look()
    {
        xcb_connection_t* c = m_x.Get();
        xcb_screensaver_query_info_reply_t* info = xcb_screensaver_query_info_reply(
            c, xcb_screensaver_query_info(c, m_x.DefaultScreen().root), nullptr);
        if (info == nullptr)
            throw ETalvexError(NoDisplayStatus, "the connection to the display was lost");
        const std::chrono::milliseconds idle(info->ms_since_user_input);
        std::free(info);
        const auto now = Clock::now();
        if (idle < m_idleTime) {
            m_spellSaid = false;
            m_nextLook = now + (m_idleTime - idle);
            return false;
        }
        m_nextLook = now + IdleLookInterval;
        return !std::exchange(m_spellSaid, true);
    }

    XConnection m_x;
    std::chrono::milliseconds m_idleTime;
    Clock::time_point m_nextLook;
    bool m_spellSaid = false;
};

} // namespace

std::unique_ptr<IdleSource> WatchX11Idle(std::chrono::milliseconds idleTime)
{
    return std::make_unique<X11Idle>(idleTime);
}
