// Frames on a real X server through Qt's own connection: each frame handed to the frame
// surface reaches the window, also the ones that come while the server has not yet
// said it read the last (its word comes through Qt's event loop), and a keyed window's
// key colour goes out transparent where a compositing manager runs.
#include "support/GuiTestSupport.h"
#include "support/XServer.h"

#include "platform/window/qt/QtImpl.h"
#include "platform/window/TApplication.h"
#include "platform/window/TForm.h"
#include "platform/window/TFrameSurface.h"

#include <QApplication>
#include <QWindow>
#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <ostream>
#include <string>

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

// The frame of tick n: blue, with a red column at n and the key colour at column
// n + 20, so that each frame changes two columns of the one before.
Raster FrameOfTick(int n)
{
    Raster frame(Width, Height);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            frame.SetPixel(x, y, x == n ? Red : x == n + 20 ? Key : Blue);
    return frame;
}

// The pixels the window shows, as the server has them (alpha in the top byte on a
// depth-32 window).
std::unique_ptr<xcb_get_image_reply_t, FreeReply> WindowImage(xcb_connection_t* c, xcb_window_t window)
{
    return std::unique_ptr<xcb_get_image_reply_t, FreeReply>{xcb_get_image_reply(
        c, xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0, Width, Height, ~0u), nullptr)};
}

// Whether the window shows frame, the key transparent when keyed.
bool Shows(xcb_connection_t* c, xcb_window_t window, const Raster& frame, bool keyed)
{
    const auto image = WindowImage(c, window);
    if (!image || xcb_get_image_data_length(image.get()) < Width * Height * 4)
        return false;
    const auto* shown = reinterpret_cast<const std::uint32_t*>(xcb_get_image_data(image.get()));
    for (int y = 0; y < Height; ++y) {
        for (int x = 0; x < Width; ++x) {
            const Pixel p = frame.PixelAt(x, y);
            const std::uint32_t s = shown[y * Width + x];
            const bool same = keyed ? s == (p == Key ? 0u : p) : (s & 0xFFFFFF) == (p & 0xFFFFFF);
            if (!same)
                return false;
        }
    }
    return true;
}

struct Case {
    const char* name;
    bool keyed;   // a compositing manager runs (the test owns its selection) and the form is keyed
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
    // A compositing manager, as far as Qt can tell: the owner of the screen's selection.
    const xcb_window_t owner = xcb_generate_id(x);
    if (c.keyed) {
        xcb_create_window(x, XCB_COPY_FROM_PARENT, owner, root->root, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                          XCB_COPY_FROM_PARENT, 0, nullptr);
        const char name[] = "_NET_WM_CM_S0";
        std::unique_ptr<xcb_intern_atom_reply_t, FreeReply> atom{
            xcb_intern_atom_reply(x, xcb_intern_atom(x, 0, sizeof name - 1, name), nullptr)};
        ASSERT_TRUE(atom);
        xcb_set_selection_owner(x, owner, atom->atom, XCB_CURRENT_TIME);
        std::free(xcb_get_input_focus_reply(x, xcb_get_input_focus(x), nullptr));
    }
    {
        TApplication app;
        TForm form;
        TFrameSurface surface{form};
        form.SetBorderStyle(TBorderStyle::None);
        form.SetTransparentColor(c.keyed, Key);
        QtWidget(form)->setGeometry(0, 0, Width, Height);
        form.Show();
        ASSERT_TRUE(WaitFor([&] { return QtWidget(form)->windowHandle()->isExposed(); }));
        const auto window = static_cast<xcb_window_t>(QtWidget(form)->winId());
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
                return Shows(x, window, frame, c.keyed);
            })) << "frame " << n;
        }
    }
    xcb_destroy_window(x, owner);
    xcb_disconnect(x);
}

const Case Cases[] = {{"Opaque", false}, {"KeyedUnderACompositor", true}};
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
