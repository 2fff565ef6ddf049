// A surface's frame buffers against a compositor that holds each buffer until the next
// replaces it (sway's pixman renderer): before every tick the kept frame, whichever
// buffer it has moved into, shows exactly the frame the ticks before made; with the
// scene's own ticks (stars, rain, the eyes), it is the frame composed whole afresh. And
// the presenter that puts frames composed elsewhere on a surface of another's
// connection: each buffer it gives the surface shows the whole frame, keyed.
#include "HeadlessSway.h"

#include "hosts/wayland/LayerShell.h"
#include "hosts/wayland/ShmFrameSink.h"
#include "platform/raster/Raster.h"
#include "platform/wayland/WaylandFramePresenter.h"
#include "scene/Catalogue.h"
#include "scene/Scene.h"
#include "scene/ScenePlan.h"

#include <gtest/gtest.h>

#include <cstring>
#include <wayland-client.h>

namespace {

struct Step {
    const char* what;
    int width;
    int height;
    std::vector<Rect> changes;
    bool whole = false;   // a new size: the frame is composed anew
};

std::vector<Rect> Speckles(int count)
{
    std::vector<Rect> speckles;
    for (int i = 0; i < count; ++i)
        speckles.push_back(Rect::Sized((i * 7) % 60, (i * 5) % 45, 1, 1));
    return speckles;
}

const Step Steps[] = {
    {"the first frame", 64, 48, {}, true},
    {"a change", 64, 48, {Rect::Sized(2, 3, 10, 4)}},
    {"another", 64, 48, {Rect::Sized(40, 30, 8, 8)}},
    {"nothing", 64, 48, {}},
    {"overlapping", 64, 48, {Rect::Sized(5, 5, 30, 2), Rect::Sized(20, 0, 3, 48)}},
    {"two at once", 64, 48, {Rect::Sized(0, 40, 64, 8), Rect::Sized(60, 0, 4, 4)}},
    {"more than a buffer lists", 64, 48, Speckles(300)},
    {"after those", 64, 48, {Rect::Sized(30, 20, 5, 5)}},
    {"a new size", 80, 40, {}, true},
    {"a change at it", 80, 40, {Rect::Sized(70, 30, 10, 10)}},
    {"and another", 80, 40, {Rect::Sized(1, 1, 1, 1)}},
    {"and a last", 80, 40, {Rect::Sized(10, 10, 20, 20)}},
};

// A connection to sway and a surface it shows, on the background layer of its output:
// a surface it does not show, it would let go of each buffer at once.
struct Session {
    wl_display* display = nullptr;
    wl_compositor* compositor = nullptr;
    wl_shm* shm = nullptr;
    zwlr_layer_shell_v1* layers = nullptr;
    wl_surface* surface = nullptr;
    zwlr_layer_surface_v1* layer = nullptr;

    explicit Session(const HeadlessSway& sway)
    {
        std::string run, name;
        for (const std::string& entry : sway.Environment()) {
            if (entry.starts_with("XDG_RUNTIME_DIR="))
                run = entry.substr(16);
            if (entry.starts_with("WAYLAND_DISPLAY="))
                name = entry.substr(16);
        }
        display = wl_display_connect((run + "/" + name).c_str());
        if (display == nullptr)
            return;
        wl_registry* registry = wl_display_get_registry(display);
        static const wl_registry_listener Listener = {
            [](void* data, wl_registry* r, std::uint32_t id, const char* interface, std::uint32_t) {
                auto& self = *static_cast<Session*>(data);
                if (std::strcmp(interface, wl_compositor_interface.name) == 0)
                    self.compositor = static_cast<wl_compositor*>(wl_registry_bind(r, id, &wl_compositor_interface, 4));
                if (std::strcmp(interface, wl_shm_interface.name) == 0)
                    self.shm = static_cast<wl_shm*>(wl_registry_bind(r, id, &wl_shm_interface, 1));
                if (std::strcmp(interface, zwlr_layer_shell_v1_interface.name) == 0)
                    self.layers = static_cast<zwlr_layer_shell_v1*>(
                        wl_registry_bind(r, id, &zwlr_layer_shell_v1_interface, 1));
            },
            [](void*, wl_registry*, std::uint32_t) {}};
        wl_registry_add_listener(registry, &Listener, this);
        wl_display_roundtrip(display);
        wl_registry_destroy(registry);
        if (compositor == nullptr || shm == nullptr || layers == nullptr)
            return;
        surface = wl_compositor_create_surface(compositor);
        layer = zwlr_layer_shell_v1_get_layer_surface(layers, surface, nullptr, ZWLR_LAYER_SHELL_V1_LAYER_BACKGROUND,
                                                      "test");
        static const zwlr_layer_surface_v1_listener LayerListener = {
            .configure = [](void*, zwlr_layer_surface_v1* configured, std::uint32_t serial, std::uint32_t,
                            std::uint32_t) { zwlr_layer_surface_v1_ack_configure(configured, serial); },
            .closed = [](void*, zwlr_layer_surface_v1*) {},
        };
        zwlr_layer_surface_v1_add_listener(layer, &LayerListener, this);
        zwlr_layer_surface_v1_set_anchor(layer, ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT |
                                                    ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                                                    ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
        wl_surface_commit(surface);
        wl_display_roundtrip(display);
    }
    ~Session()
    {
        if (layer != nullptr)
            zwlr_layer_surface_v1_destroy(layer);
        if (surface != nullptr)
            wl_surface_destroy(surface);
        if (display != nullptr)
            wl_display_disconnect(display);
    }
    // Shows the frame the sink has, if any, and waits until sway has taken it.
    void Show(ShmFrameSink& sink)
    {
        ShmFrameSink::Shown shown;
        if (sink.TakeShown(shown)) {
            wl_surface_attach(surface, shown.buffer, 0, 0);
            for (const Rect& area : shown.damage)
                wl_surface_damage_buffer(surface, area.Left, area.Top, area.Width(), area.Height());
            wl_surface_commit(surface);
        }
        EXPECT_GE(wl_display_roundtrip(display), 0);
    }
};

std::string Differences(const Raster& kept, const Raster& truth)
{
    if (kept.Width() != truth.Width() || kept.Height() != truth.Height())
        return "another size";
    int count = 0;
    for (int y = 0; y < truth.Height(); ++y)
        for (int x = 0; x < truth.Width(); ++x)
            count += kept.PixelAt(x, y) != truth.PixelAt(x, y) ? 1 : 0;
    return count == 0 ? "" : std::to_string(count) + " pixels differ";
}

TEST(ShmFrameSink, LendsTheLastFrameWhicheverBufferTheCompositorHolds)
{
    HeadlessSway sway;
    ASSERT_TRUE(sway.Started());
    Session session(sway);
    ASSERT_TRUE(session.surface != nullptr);
    {
        ShmFrameSink sink(session.shm);
        KeptFrame kept;
        Raster truth(0, 0);
        Pixel colour = Rgb(20, 40, 60);
        for (const Step& step : Steps) {
            SCOPED_TRACE(step.what);
            ASSERT_TRUE(sink.Lend(kept, step.width, step.height));
            ASSERT_EQ(kept.Frame.Width(), step.width);
            ASSERT_EQ(kept.Frame.Height(), step.height);
            if (step.whole) {
                // A buffer to compose anew, as a new size needs.
                EXPECT_FALSE(kept.Valid);
                truth = Raster(step.width, step.height);
            } else {
                EXPECT_EQ(Differences(kept.Frame, truth), "");
            }
            colour += 0x010305;
            const std::vector<Rect> whole = {kept.Frame.Bounds()};
            const std::vector<Rect>& changes = step.whole ? whole : step.changes;
            for (Raster* frame : {&kept.Frame, &truth})
                for (const Rect& area : changes)
                    for (int y = area.Top; y < area.Bottom; ++y)
                        for (int x = area.Left; x < area.Right; ++x)
                            frame->SetPixel(x, y, colour);
            kept.Valid = true;
            sink.CopyFrame(kept.Frame, changes);
            // The compositor has taken the commit and let go of the buffer it replaced.
            session.Show(sink);
            EXPECT_LE(sink.BufferCount(), 2);
        }
        ASSERT_TRUE(sink.Lend(kept, 80, 40));
        EXPECT_EQ(Differences(kept.Frame, truth), "");
        kept.Frame = Raster(0, 0);
    }
}

// Takes the frame a scene that keeps nothing composes whole.
struct WholeFrame : IFrameSink {
    Raster frame{0, 0};
    void CopyFrame(const Raster& composed, std::span<const Rect>) override
    {
        frame = Raster(composed.Width(), composed.Height());
        for (int y = 0; y < composed.Height(); ++y)
            std::memcpy(frame.Scanline(y), composed.Scanline(y), sizeof(Pixel) * composed.Width());
    }
};

// The same plan in both scenes: stars, rain and eyes on, the next re-draw after 30 ticks.
void Moving(Scene& scene, FrameSize size)
{
    scene.Random.State = 777;
    RedrawPlan(scene, size);
    scene.Plan.CycleCountdown = 30;
    scene.Plan.StarsOn = 1;
    scene.Plan.RainOn = 1;
    scene.Plan.EyesChoice = 2;
    scene.Plan.EyesX = 40;
    scene.Plan.EyesY = -450;
}

TEST(ShmFrameSink, KeepsTheFrameOfStarsAndRainThatAWholeCompositionMakes)
{
    HeadlessSway sway;
    ASSERT_TRUE(sway.Started());
    Session session(sway);
    ASSERT_TRUE(session.surface != nullptr);
    std::unique_ptr<Catalogue> pictures = Catalogue::Load(ScreenFormPictures(), JpegDepth::TrueColour);
    std::uint32_t now = 0;
    const ClockFunction before = SetClockFunction([&now] { return now; });
    {
        ShmFrameSink sink(session.shm);
        Scene kept;
        Scene whole;
        SetFrameKeeping(whole, false);
        WholeFrame truth;
        // A re-draw at tick 30, then a new size at tick 45.
        for (int tick = 1; tick <= 60; ++tick) {
            SCOPED_TRACE(tick);
            const FrameSize size = tick < 45 ? FrameSize{320, 240} : FrameSize{256, 200};
            if (tick == 1) {
                Moving(kept, size);
                Moving(whole, size);
            }
            now = 1000u * static_cast<std::uint32_t>(tick) + 7;
            ASSERT_TRUE(sink.Lend(kept.Kept, size.Width, size.Height));
            ComposeTick(kept, *pictures, size, sink);
            ComposeTick(whole, *pictures, size, truth);
            ASSERT_EQ(Differences(kept.Kept.Frame, truth.frame), "");
            session.Show(sink);
        }
        kept.Kept.Frame = Raster(0, 0);
    }
    SetClockFunction(before);
}

// A frame composed in the caller's own raster, the key's colour painted at every third
// step, onto the test's surface from the presenter's queue: whichever buffer sway holds,
// the one it was given last shows the whole frame, the key's pixels transparent (0) and
// every other pixel opaque.
TEST(WaylandFramePresenter, GivesTheSurfaceTheWholeFrameKeyedWhicheverBufferTheCompositorHolds)
{
    HeadlessSway sway;
    ASSERT_TRUE(sway.Started());
    Session session(sway);
    ASSERT_TRUE(session.surface != nullptr);
    const Pixel key = Rgb(0, 128, 0);
    WaylandFramePresenter presenter(session.display, session.surface);
    ASSERT_TRUE(presenter.Usable());
    presenter.SetColourKey(true, key);
    Raster frame(0, 0);
    Pixel colour = Rgb(20, 40, 60);
    int stepNumber = 0;
    for (const Step& step : Steps) {
        SCOPED_TRACE(step.what);
        if (step.whole)
            frame = Raster(step.width, step.height);
        colour += 0x010305;
        const Pixel paint = ++stepNumber % 3 == 0 ? key : colour;
        const std::vector<Rect> whole = {frame.Bounds()};
        const std::vector<Rect>& changes = step.whole ? whole : step.changes;
        for (const Rect& area : changes)
            for (int y = area.Top; y < area.Bottom; ++y)
                for (int x = area.Left; x < area.Right; ++x)
                    frame.SetPixel(x, y, paint);
        presenter.CopyFrame(frame, changes, 1);
        ASSERT_GE(wl_display_roundtrip(session.display), 0);
        const Pixel* shown = presenter.ShownPixels();
        ASSERT_NE(shown, nullptr);
        int wrong = 0;
        for (int y = 0; y < frame.Height(); ++y)
            for (int x = 0; x < frame.Width(); ++x) {
                const Pixel made = frame.PixelAt(x, y);
                const Pixel keyed = (made | 0xFF000000u) == key ? 0 : made | 0xFF000000u;
                wrong += shown[y * frame.Width() + x] != keyed ? 1 : 0;
            }
        EXPECT_EQ(wrong, 0);
        EXPECT_LE(presenter.BufferCount(), 2);
    }
}

} // namespace
