// Frames on a real X server through Qt's own connection: each frame handed to the frame
// surface reaches the window, also the ones that come while the server has not yet
// said it read the last (its word comes through Qt's event loop), and a keyed window's
// key colour is cut out of its shape where a compositing manager runs, the window
// itself opaque.
#include "support/ChildProgram.h"
#include "support/GuiTestSupport.h"
#include "support/XServer.h"

#include "platform/window/qt/QtImpl.h"
#include "platform/window/TApplication.h"
#include "platform/window/TForm.h"
#include "platform/window/TFrameSurface.h"

#include <QApplication>
#include <QWindow>
#include <gtest/gtest.h>
#include <xcb/shape.h>
#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

constexpr int Width = 64;
constexpr int Height = 48;
const Pixel Key = Rgb(0, 128, 0);
const Pixel Red = Rgb(255, 0, 0);
const Pixel Blue = Rgb(0, 0, 255);

XServer* g_server = nullptr;

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};

// The frame of tick n: blue, with a red column at n and, up to tick 5, the key colour
// at column n + 20 from row n down, so that each frame changes two columns of the one
// before and the last has no key left.
Raster FrameOfTick(int n)
{
    Raster frame(Width, Height);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            frame.SetPixel(x, y, x == n ? Red : x == n + 20 && y >= n && n <= 5 ? Key : Blue);
    return frame;
}

// The pixels the window shows, as the server has them.
std::unique_ptr<xcb_get_image_reply_t, FreeReply> WindowImage(xcb_connection_t* c, xcb_window_t window)
{
    return std::unique_ptr<xcb_get_image_reply_t, FreeReply>{xcb_get_image_reply(
        c, xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0, Width, Height, ~0u), nullptr)};
}

// Whether (x, y) lies inside the window's bounding shape.
bool InShape(const xcb_shape_get_rectangles_reply_t& shape, int x, int y)
{
    const xcb_rectangle_t* r = xcb_shape_get_rectangles_rectangles(&shape);
    for (int i = 0; i < xcb_shape_get_rectangles_rectangles_length(&shape); ++i) {
        if (x >= r[i].x && x < r[i].x + r[i].width && y >= r[i].y && y < r[i].y + r[i].height)
            return true;
    }
    return false;
}

// Whether the window shows frame: every pixel but the key's in its colour, and, when
// keyed, exactly the key's pixels cut out of the window's shape.
bool Shows(xcb_connection_t* c, xcb_window_t window, const Raster& frame, bool keyed)
{
    const auto image = WindowImage(c, window);
    const std::unique_ptr<xcb_shape_get_rectangles_reply_t, FreeReply> shape{xcb_shape_get_rectangles_reply(
        c, xcb_shape_get_rectangles(c, window, XCB_SHAPE_SK_BOUNDING), nullptr)};
    if (!image || !shape || xcb_get_image_data_length(image.get()) < Width * Height * 4)
        return false;
    const auto* shown = reinterpret_cast<const std::uint32_t*>(xcb_get_image_data(image.get()));
    for (int y = 0; y < Height; ++y) {
        for (int x = 0; x < Width; ++x) {
            const Pixel p = frame.PixelAt(x, y);
            const bool cut = keyed && p == Key;
            if (InShape(*shape, x, y) == cut)
                return false;
            if (!cut && (shown[y * Width + x] & 0xFFFFFF) != (p & 0xFFFFFF))
                return false;
        }
    }
    return true;
}

std::uint8_t Depth(xcb_connection_t* c, xcb_window_t window)
{
    const std::unique_ptr<xcb_get_geometry_reply_t, FreeReply> geometry{
        xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr)};
    return geometry ? geometry->depth : 0;
}

// Whether the screen, as a compositing manager draws it on the root window, shows frame
// where the window lies, at the top-left corner, and the root's own background
// through the key's pixels.
bool ScreenShows(xcb_connection_t* c, xcb_window_t root, const Raster& frame)
{
    const std::unique_ptr<xcb_get_image_reply_t, FreeReply> image{xcb_get_image_reply(
        c, xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, root, 0, 0, Width + 1, Height + 1, ~0u), nullptr)};
    if (!image || xcb_get_image_data_length(image.get()) < (Width + 1) * (Height + 1) * 4)
        return false;
    const auto* shown = reinterpret_cast<const std::uint32_t*>(xcb_get_image_data(image.get()));
    const std::uint32_t background = shown[Height * (Width + 1) + Width] & 0xFFFFFF;
    for (int y = 0; y < Height; ++y) {
        for (int x = 0; x < Width; ++x) {
            const Pixel p = frame.PixelAt(x, y);
            if ((shown[y * (Width + 1) + x] & 0xFFFFFF) != (p == Key ? background : p & 0xFFFFFF))
                return false;
        }
    }
    return true;
}

enum class Desktop {
    Bare,
    CompositorSelection,   // the test owns a compositing manager's selection, as far as Qt can tell
    Xcompmgr,              // Debian's compositing manager runs
};

struct Case {
    const char* name;
    Desktop desktop;
    bool Keyed() const { return desktop != Desktop::Bare; }   // and the form is keyed
};

void PrintTo(const Case& c, std::ostream* out)
{
    *out << c.name;
}

class FrameOnX11 : public ::testing::TestWithParam<Case> {};

TEST_P(FrameOnX11, EveryFrameReachesTheWindow)
{
    const Case& c = GetParam();
    int screen = 0;
    xcb_connection_t* x = xcb_connect(g_server->Display().c_str(), &screen);
    ASSERT_EQ(xcb_connection_has_error(x), 0);
    const xcb_screen_t* root = xcb_setup_roots_iterator(xcb_get_setup(x)).data;
    const xcb_window_t owner = xcb_generate_id(x);
    const char name[] = "_NET_WM_CM_S0";
    const std::unique_ptr<xcb_intern_atom_reply_t, FreeReply> atom{
        xcb_intern_atom_reply(x, xcb_intern_atom(x, 0, sizeof name - 1, name), nullptr)};
    ASSERT_TRUE(atom);
    std::unique_ptr<ChildProgram> compositor;
    if (c.desktop == Desktop::Xcompmgr) {
        compositor = std::make_unique<ChildProgram>(std::vector<std::string>{"xcompmgr"},
                                                    std::vector<std::string>{"DISPLAY=" + g_server->Display()});
        ASSERT_TRUE(WaitFor([&] {
            const std::unique_ptr<xcb_get_selection_owner_reply_t, FreeReply> held{
                xcb_get_selection_owner_reply(x, xcb_get_selection_owner(x, atom->atom), nullptr)};
            return held && held->owner != XCB_WINDOW_NONE;
        })) << compositor->Errors();
    }
    if (c.desktop == Desktop::CompositorSelection) {
        xcb_create_window(x, XCB_COPY_FROM_PARENT, owner, root->root, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                          XCB_COPY_FROM_PARENT, 0, nullptr);
        xcb_set_selection_owner(x, owner, atom->atom, XCB_CURRENT_TIME);
        std::free(xcb_get_input_focus_reply(x, xcb_get_input_focus(x), nullptr));
    }
    {
        TApplication app;
        TForm form;
        TFrameSurface surface{form};
        form.SetBorderStyle(TBorderStyle::None);
        form.SetTransparentColor(c.Keyed(), Key);
        QtWidget(form)->setGeometry(0, 0, Width, Height);
        form.Show();
        ASSERT_TRUE(WaitFor([&] { return QtWidget(form)->windowHandle()->isExposed(); }));
        const auto window = static_cast<xcb_window_t>(QtWidget(form)->winId());
        // Opaque either way: a compositing manager copies the window, never blends it.
        EXPECT_EQ(Depth(x, window), 24);
        const Rect all[] = {{0, 0, Width, Height}};
        surface.CopyFrame(FrameOfTick(0), all);
        // Three frames in a row, before the server can have answered for the first,
        // then one at a time. What a frame changed while the server still read the
        // one before goes with a later frame: while waiting, the same frame comes
        // again with nothing changed, as the ticks of a still scene do.
        for (int n = 1; n <= 6; ++n) {
            const Raster frame = FrameOfTick(n);
            const Rect changed[] = {{n - 1, 0, n + 1, Height}, {n + 19, 0, n + 21, Height}};
            surface.CopyFrame(frame, changed);
            if (n < 3)
                continue;
            EXPECT_TRUE(WaitFor([&] {
                surface.CopyFrame(frame, {});
                return Shows(x, window, frame, c.Keyed()) &&
                       (c.desktop != Desktop::Xcompmgr || ScreenShows(x, root->root, frame));
            })) << "frame " << n;
        }
    }
    if (c.desktop == Desktop::CompositorSelection)
        xcb_destroy_window(x, owner);
    xcb_disconnect(x);
}

const Case Cases[] = {{"Opaque", Desktop::Bare},
                      {"KeyedUnderACompositor", Desktop::CompositorSelection},
                      {"KeyedUnderXcompmgr", Desktop::Xcompmgr}};
INSTANTIATE_TEST_SUITE_P(Windows, FrameOnX11, ::testing::ValuesIn(Cases),
                         [](const ::testing::TestParamInfo<Case>& c) { return std::string(c.param.name); });

} // namespace

// Qt on the X server the test starts; listing the tests needs neither.
int main(int argc, char** argv)
{
    bool listOnly = false;
    for (int i = 1; i < argc; ++i)
        listOnly = listOnly || std::strcmp(argv[i], "--gtest_list_tests") == 0;
    ::testing::InitGoogleTest(&argc, argv);
    if (listOnly)
        return RUN_ALL_TESTS();
    XServer server(XServerSetup{.screen = "640x480x24"});
    if (!server.Started()) {
        std::fprintf(stderr, "Xvfb did not start\n");
        return 1;
    }
    g_server = &server;
    setenv("DISPLAY", server.Display().c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
