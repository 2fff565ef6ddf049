// The frames' way to the window through the shared segment, on a real X server: the
// window ends up showing the last frame handed in, also when frames came while the
// server still read the segment (their changes reach it with a later put), and when
// another client drew over it (gone with the next whole frame, within ten puts, or
// with the repaint of an exposure that came while a put was in flight); the server's
// word on a put as a completion event or as the reply to a later request; a frame's
// changed boxes, and nothing beside them, put a box each or in one clipped put; and the
// memory made ready ahead of the first frame shows nothing before it.
#include "support/XServer.h"
#include "hosts/x11/TargetWindow.h"
#include "hosts/x11/XConnection.h"
#include "platform/x11/FramePresenter.h"
#include "scene/Catalogue.h"
#include "scene/Scene.h"
#include "scene/Tick.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

// Hands each frame to the presenter and keeps a copy of the last one.
struct RecordingSink : IFrameSink {
    explicit RecordingSink(FramePresenter& target) : presenter(target) {}
    void CopyFrame(const Raster& frame, std::span<const Rect> changed) override
    {
        presenter.CopyFrame(frame, changed);
        width = frame.Width();
        height = frame.Height();
        last.clear();
        for (int y = 0; y < height; ++y)
            last.insert(last.end(), frame.Scanline(y), frame.Scanline(y) + width);
    }
    FramePresenter& presenter;
    int width = 0;
    int height = 0;
    std::vector<Pixel> last;
};

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};

// Waits for the server's word on the put in flight, if any.
void TakeCompletions(const XConnection& x, FramePresenter& presenter, bool byReply)
{
    xcb_flush(x.Get());
    if (byReply) {
        // A round trip: the reply the presenter awaits came before this one.
        std::free(xcb_get_input_focus_reply(x.Get(), xcb_get_input_focus(x.Get()), nullptr));
        EXPECT_FALSE(presenter.PutInFlight());
        return;
    }
    while (presenter.PutInFlight()) {
        std::unique_ptr<xcb_generic_event_t, FreeReply> event{xcb_wait_for_event(x.Get())};
        ASSERT_NE(event, nullptr);
        presenter.TakeCompletion(*event);
    }
}

// How many pixels of the window's top-left width x height differ from the frame's.
long PixelsNotShown(const XConnection& x, xcb_window_t window, const RecordingSink& sink)
{
    long differ = 0;
    // In bands, within the request limit.
    constexpr int BandRows = 64;
    for (int top = 0; top < sink.height; top += BandRows) {
        const int rows = std::min(BandRows, sink.height - top);
        std::unique_ptr<xcb_get_image_reply_t, FreeReply> image{xcb_get_image_reply(
            x.Get(),
            xcb_get_image(x.Get(), XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, static_cast<std::int16_t>(top),
                          static_cast<std::uint16_t>(sink.width), static_cast<std::uint16_t>(rows), ~0u),
            nullptr)};
        if (!image)
            return -1;
        const auto* shown = reinterpret_cast<const std::uint32_t*>(xcb_get_image_data(image.get()));
        for (int i = 0; i < sink.width * rows; ++i)
            differ += ((shown[i] ^ sink.last[static_cast<std::size_t>(top) * sink.width + i]) & 0xFFFFFF) != 0;
    }
    return differ;
}

struct PresenterCase {
    const char* name;
    // Of each group of this many ticks, the first waits for the server's completion;
    // the others come while the put is in flight and are dropped.
    int ticksPerCompletion;
    int ticks;
    // Another client fills the top-left corner before the ticks.
    bool foreignDrawing;
    // It does so while the server, grabbed, holds back the put of the second frame; the
    // presenter is told of the exposure then, and sends no whole frame once a second.
    bool exposedWhilePutInFlight;
    bool completionByReply;
};

void PrintTo(const PresenterCase& c, std::ostream* out)
{
    *out << c.name;
}

const PresenterCase PresenterCases[] = {
    {"every frame put", 1, 14, false, false, false},
    {"two frames of three dropped", 3, 37, false, false, false},
    {"every other frame dropped", 2, 25, false, false, false},
    {"another client drew over it", 1, 15, true, false, false},
    {"exposed while a put is in flight", 1, 16, true, true, false},
    {"every frame put, told by a reply", 1, 14, false, false, true},
    {"two frames of three dropped, told by a reply", 3, 37, false, false, true},
    {"exposed while a put is in flight, told by a reply", 1, 16, true, true, true},
};

// Fills the window's top-left corner with a colour no frame has, from another connection.
void DrawCorner(xcb_connection_t* c, xcb_window_t window)
{
    const xcb_gcontext_t gc = xcb_generate_id(c);
    const std::uint32_t magenta = 0xFF00FF;
    xcb_create_gc(c, gc, window, XCB_GC_FOREGROUND, &magenta);
    const xcb_rectangle_t corner{0, 0, 400, 300};
    xcb_poly_fill_rectangle(c, window, gc, 1, &corner);
    xcb_free_gc(c, gc);
}

// Fills the window with colour from connection c.
void FillWindow(xcb_connection_t* c, xcb_window_t window, std::uint32_t colour, int width, int height)
{
    const xcb_gcontext_t gc = xcb_generate_id(c);
    xcb_create_gc(c, gc, window, XCB_GC_FOREGROUND, &colour);
    const xcb_rectangle_t all{0, 0, static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(height)};
    xcb_poly_fill_rectangle(c, window, gc, 1, &all);
    xcb_free_gc(c, gc);
}

// A round trip on c: what it sent before has been done.
void Sync(xcb_connection_t* c)
{
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
}

class Presenter : public ::testing::TestWithParam<PresenterCase> {};

TEST_P(Presenter, LeavesTheWindowShowingTheLastFrame)
{
    const PresenterCase& c = GetParam();
    XServer server;
    ASSERT_TRUE(server.Started());
    setenv("DISPLAY", server.Display().c_str(), 1);
    XConnection x;
    std::unique_ptr<TargetWindow> root = TargetWindow::Host(x, 0);
    FramePresenter presenter(x.Get(), root->Id(), root->Depth(), x.IsLocal());
    ASSERT_TRUE(presenter.SharesMemory());
    presenter.SetCompletionByReply(c.completionByReply);
    presenter.SetWholeOnceASecond(!c.exposedWhilePutInFlight);
    XConnection other;
    RecordingSink sink(presenter);
    std::unique_ptr<Catalogue> pictures = Catalogue::Load(ScreenFormPictures(), JpegDepth::TrueColour);
    std::uint32_t clock = 0;
    SetClockFunction([&clock] { return 50'000'000u + 100u * clock++; });
    // The first cycle with stars and rain: every tick changes rectangles all over.
    Scene scene;
    scene.Plan.StarsOn = 1;
    scene.Plan.RainOn = 1;
    const FrameSize size{root->ClientWidth(), root->ClientHeight()};

    for (int i = 0; i < c.ticks; ++i) {
        if (i % c.ticksPerCompletion == 0)
            TakeCompletions(x, presenter, c.completionByReply);
        if (c.exposedWhilePutInFlight && i == 1) {
            xcb_grab_server(other.Get());
            Sync(other.Get());
            ComposeTick(scene, *pictures, size, sink);
            ASSERT_TRUE(presenter.PutInFlight());
            DrawCorner(other.Get(), root->Id());
            presenter.Repaint();
            xcb_ungrab_server(other.Get());
            Sync(other.Get());
            continue;
        }
        if (c.foreignDrawing && i == 1)
            DrawCorner(x.Get(), root->Id());
        ComposeTick(scene, *pictures, size, sink);
    }
    TakeCompletions(x, presenter, c.completionByReply);
    SetClockFunction({});
    EXPECT_EQ(PixelsNotShown(x, root->Id(), sink), 0);
}

// Before the first frame the segment is made, its pages made present on both sides:
// the window goes on showing what it showed, and the memory lent for the first frame
// is black.
TEST(PresenterAhead, MakesItsMemoryReadyWithoutShowingAnything)
{
    XServer server;
    ASSERT_TRUE(server.Started());
    setenv("DISPLAY", server.Display().c_str(), 1);
    XConnection x;
    std::unique_ptr<TargetWindow> root = TargetWindow::Host(x, 0);
    const int width = root->ClientWidth();
    const int height = root->ClientHeight();
    const xcb_gcontext_t gc = xcb_generate_id(x.Get());
    const std::uint32_t white = 0xFFFFFF;
    xcb_create_gc(x.Get(), gc, root->Id(), XCB_GC_FOREGROUND, &white);
    const xcb_rectangle_t all{0, 0, static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(height)};
    xcb_poly_fill_rectangle(x.Get(), root->Id(), gc, 1, &all);
    xcb_free_gc(x.Get(), gc);
    FramePresenter presenter(x.Get(), root->Id(), root->Depth(), x.IsLocal());
    ASSERT_TRUE(presenter.SharesMemory());

    bool fresh = false;
    const Pixel* lent = presenter.Lend(width, height, fresh);
    ASSERT_NE(lent, nullptr);
    EXPECT_TRUE(fresh);
    const auto count = static_cast<std::ptrdiff_t>(width) * height;
    EXPECT_EQ(std::count(lent, lent + count, Pixel{0}), count);
    RecordingSink shown(presenter);
    shown.width = width;
    shown.height = height;
    shown.last.assign(static_cast<std::size_t>(count), white);
    EXPECT_EQ(PixelsNotShown(x, root->Id(), shown), 0);
}

// A frame's changed boxes reach the window and nothing beside them does, whether they
// go a put a box (spread out) or in one put of their bounds clipped to them (close
// together): another client's drawing around them stays.
TEST(PresenterBoxes, PutsTheChangedBoxesAndNothingBeside)
{
    struct BoxesCase {
        const char* name;
        std::vector<Rect> changed;   // joined into bands of 32 rows by the presenter
        std::vector<Rect> shown;     // the boxes that join makes, worked out by hand
    };
    const BoxesCase cases[] = {
        {"spread out", {{0, 0, 4, 12}, {600, 200, 604, 212}}, {{0, 0, 4, 32}, {600, 192, 604, 224}}},
        {"close together",
         {{0, 0, 20, 10}, {60, 0, 80, 10}, {120, 0, 140, 10}, {0, 40, 20, 50}},
         {{0, 0, 20, 32}, {60, 0, 80, 32}, {120, 0, 140, 32}, {0, 32, 20, 64}}},
    };
    XServer server;
    ASSERT_TRUE(server.Started());
    setenv("DISPLAY", server.Display().c_str(), 1);
    XConnection x;
    XConnection other;
    std::unique_ptr<TargetWindow> root = TargetWindow::Host(x, 0);
    const int width = root->ClientWidth();
    const int height = root->ClientHeight();
    constexpr Pixel Changed = Rgb(0x33, 0x66, 0x99);
    constexpr Pixel Foreign = Rgb(0xFF, 0x00, 0xFF);
    const auto paint = [](Raster& frame, const Rect& r, Pixel colour) {
        for (int y = r.Top; y < r.Bottom; ++y)
            std::fill(frame.Scanline(y) + r.Left, frame.Scanline(y) + r.Right, colour);
    };
    for (const BoxesCase& c : cases) {
        FramePresenter presenter(x.Get(), root->Id(), root->Depth(), x.IsLocal());
        ASSERT_TRUE(presenter.SharesMemory());
        presenter.SetWholeOnceASecond(false);
        RecordingSink sink(presenter);
        Raster frame(width, height);
        paint(frame, frame.Bounds(), Black);
        sink.CopyFrame(frame, {});
        TakeCompletions(x, presenter, false);
        FillWindow(other.Get(), root->Id(), Foreign & 0xFFFFFF, width, height);
        Sync(other.Get());
        for (const Rect& r : c.changed)
            paint(frame, r, Changed);
        presenter.CopyFrame(frame, c.changed);
        TakeCompletions(x, presenter, false);
        // What the window should show: the frame in the boxes, the other client's
        // colour everywhere else.
        sink.last.assign(static_cast<std::size_t>(width) * height, Foreign);
        for (const Rect& box : c.shown)
            for (int y = box.Top; y < box.Bottom; ++y)
                for (int x0 = box.Left; x0 < box.Right; ++x0)
                    sink.last[static_cast<std::size_t>(y) * width + x0] = frame.PixelAt(x0, y);
        EXPECT_EQ(PixelsNotShown(x, root->Id(), sink), 0) << c.name;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, Presenter, ::testing::ValuesIn(PresenterCases),
                         [](const ::testing::TestParamInfo<PresenterCase>& param) {
                             std::string name;
                             for (const char* ch = param.param.name; *ch; ++ch)
                                 name += std::isalnum(static_cast<unsigned char>(*ch)) ? *ch : '_';
                             return name;
                         });

} // namespace
