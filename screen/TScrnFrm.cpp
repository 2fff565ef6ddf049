// The screen window: its stored properties, the show, activate and hide steps, the
// input filter that ends the show, and the tick that shows one frame.
#include "screen/TScrnFrm.h"

#include "platform/window/Cursor.h"
#include "platform/window/TApplication.h"

#include <cstdlib>

TScrnFrm* ScrnFrm = nullptr;
Scene NightScene;
TPoint StartPos{0, 0};

namespace {

constexpr int TickIntervalMs = 100;
// A pointer movement ends the show only beyond this distance on either axis.
constexpr std::int64_t MoveTolerance = 5;
constexpr Pixel WindowKey = Rgb(0, 128, 0);

} // namespace

TScrnFrm::TScrnFrm(JpegDepth depth)
    : TScrnFrm(ScreenFormPictures(), depth)
{
}

TScrnFrm::TScrnFrm(std::span<const std::uint8_t> formStream, JpegDepth depth)
{
    SetUpForm();
    TakePictures(Catalogue::Load(formStream, depth));
}

void TScrnFrm::TakePictures(std::unique_ptr<Catalogue> pictures)
{
    m_pictures = std::move(pictures);
    // The catalogue holds what it needs of the stored blocks.
    ReleaseScreenFormPictures();
}

TScrnFrm::TScrnFrm(PicturesLater)
{
    SetUpForm();
}

TScrnFrm::~TScrnFrm()
{
    // Hidden while the derived parts still live, so that FormHide runs.
    Hide();
    OnShow = nullptr;
    OnActivate = nullptr;
    OnHide = nullptr;
    if (ScrnFrm == this)
        ScrnFrm = nullptr;
}

void TScrnFrm::SetUpForm()
{
    SetName("ScrnFrm");
    SetCaption("ScrnFrm");
    SetBorderStyle(TBorderStyle::None);
    SetStayOnTop(true);
    SetColor(Black);
    SetTransparentColor(true, WindowKey);
    // Without a border the client area is the whole window.
    SetClientBounds(Rect::Sized(197, 164, 744, 446));

    tmrTick.SetInterval(TickIntervalMs);
    tmrTick.SetEnabled(false);
    tmrTick.SetOnTimer([this] { tmrTickTimer(); });

    OnShow = [this] { FormShow(); };
    OnActivate = [this] { FormActivate(); };
    OnHide = [this] { FormHide(); };
}

void TScrnFrm::FormShow()
{
    // If the position cannot be read, the last one stays.
    GetCursorPos(StartPos);
    tmrTick.SetInterval(TickIntervalMs);
    // A timer that cannot start raises here: the hook and the cursor are left alone.
    tmrTick.SetEnabled(true);
    if (Application)
        Application->SetOnMessage([this](TMsg& msg, bool& handled) { InputFilter(msg, handled); });
    ShowCursor(false);
    m_cursorHidden = true;
    // The first tick is a full interval away: the pictures it shows are decoded
    // meanwhile, once the show has been handled, and the frame's storage made ready
    // at the size of the monitor the window will fill.
    if (Application) {
        Application->QueueCall([this, alive = std::weak_ptr<bool>(m_alive)] {
            if (alive.expired())
                return;
            DecodeAhead(NightScene.Plan, Pictures());
            const TMonitor monitor = Monitor();
            // In the window system's memory where it lends some, its pages touched.
            bool fresh = false;
            Raster lent = m_surface.LendFrame(monitor.DeviceWidth, monitor.DeviceHeight, fresh);
            UseFrameMemory(NightScene, std::move(lent), fresh);
            PrepareFrame(NightScene, FrameSize{monitor.DeviceWidth, monitor.DeviceHeight});
        });
    }
}

void TScrnFrm::FormActivate()
{
    SetWindowState(TWindowState::Maximized);
}

void TScrnFrm::FormHide()
{
    if (Application)
        Application->SetOnMessage(nullptr);
    tmrTick.SetEnabled(false);
    if (m_cursorHidden) {
        ShowCursor(true);
        m_cursorHidden = false;
    }
}

void TScrnFrm::InputFilter(TMsg& msg, bool& handled)
{
    (void)handled;
    switch (msg.message) {
    case WM_MOUSEMOVE: {
        // The pointer in screen coordinates, as the message carries it, so that it
        // compares with StartPos on every monitor. The client position in lParam
        // would need the window's origin, which may have moved (maximized) since the
        // event was made.
        const std::int64_t x = msg.pt.X;
        if (std::llabs(x - StartPos.X) > MoveTolerance) {
            Close();
            break;
        }
        const std::int64_t y = msg.pt.Y;
        if (std::llabs(y - StartPos.Y) > MoveTolerance)
            Close();
        break;
    }
    case WM_KEYDOWN:
    case WM_ACTIVATE:
    case WM_ACTIVATEAPP:
    case WM_NCACTIVATE:
        Close();
        break;
    default:
        break;
    }
}

void TScrnFrm::tmrTickTimer()
{
    const FrameSize size{ClientWidth(), ClientHeight()};
    // Where the window system reads frames in place, the scene composes them there.
    bool fresh = false;
    Raster lent = m_surface.LendFrame(size.Width, size.Height, fresh);
    UseFrameMemory(NightScene, std::move(lent), fresh);
    ComposeTick(NightScene, *m_pictures, size, m_sink);
}
