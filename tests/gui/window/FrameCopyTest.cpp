// The copy of a frame with its changed rectangles: only they (joined into bands) reach
// the window while it holds the last frame whole; after a show, a resize, a paint of its own or a frame of
// another size the whole frame does.
#include "support/GuiTestSupport.h"

#include "platform/window/qt/QtImpl.h"
#include "platform/window/TApplication.h"
#include "platform/window/TForm.h"
#include "platform/window/TFrameSurface.h"

#include <QPalette>
#include <QWindow>
#include <gtest/gtest.h>

#include <ostream>

namespace {

constexpr int Width = 6;
constexpr int Height = 4;
const Pixel Red = Rgb(255, 0, 0);
constexpr Rect Changed{1, 1, 4, 3};
// Changed as the window's surface repaints it: joined with any neighbours into its
// columns over the band of 32 rows it lies in, here the frame's height.
constexpr Rect Repainted{1, 0, 4, Height};

Raster Filled(int width, int height, Pixel colour)
{
    Raster frame(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            frame.SetPixel(x, y, colour);
    return frame;
}

struct Case {
    const char* name;
    bool keyed;
    // Between a white frame and a red one that claims to change only Changed.
    void (*between)(TForm& form);
    int redWidth;              // the red frame's width: another size than the white one's
    bool whole;                // the red frame reaches the window whole
};

void Nothing(TForm&) {}
void ShownAgain(TForm& form)
{
    form.Hide();
    form.Show();
    WaitFor([&] { return QtWidget(form)->windowHandle()->isExposed(); });
}
void Resized(TForm& form)
{
    QtWidget(form)->setGeometry(10, 10, Width, Height + 1);
    WaitFor([&] { return QtWidget(form)->height() == Height + 1; });
}
void PaintedByTheSystem(TForm& form)
{
    QtWidget(form)->repaint();
}

void PrintTo(const Case& c, std::ostream* out)
{
    *out << c.name;
}

const Case Cases[] = {
    {"OpaqueOnlyTheChangedRectangle", false, Nothing, Width, false},
    {"KeyedOnlyTheChangedRectangle", true, Nothing, Width, false},
    {"OpaqueWholeAfterAShow", false, ShownAgain, Width, true},
    {"KeyedWholeAfterAShow", true, ShownAgain, Width, true},
    {"OpaqueWholeAfterAResize", false, Resized, Width, true},
    {"KeyedWholeAfterAResize", true, Resized, Width, true},
    {"OpaqueWholeAfterAPaintOfItsOwn", false, PaintedByTheSystem, Width, true},
    {"OpaqueWholeForAFrameOfAnotherSize", false, Nothing, Width - 1, true},
};

class ChangedRectangles : public ::testing::TestWithParam<Case> {};

TEST_P(ChangedRectangles, ReachTheWindowAloneWhileItHoldsTheLastFrame)
{
    const Case& c = GetParam();
    TApplication app;
    TForm form;
    TFrameSurface surface{form};
    form.SetBorderStyle(TBorderStyle::None);
    // Where no frame lies the window shows white, as the first frame.
    QPalette white = QtWidget(form)->palette();
    white.setColor(QPalette::Window, Qt::white);
    QtWidget(form)->setPalette(white);
    form.SetTransparentColor(c.keyed, Rgb(0, 128, 0));
    QtWidget(form)->setGeometry(10, 10, Width, Height);
    form.Show();
    ASSERT_TRUE(WaitFor([&] { return QtWidget(form)->windowHandle() && QtWidget(form)->windowHandle()->isExposed(); }));
    const Rect all[] = {{0, 0, Width, Height}};
    surface.CopyFrame(Filled(Width, Height, White), all);
    c.between(form);
    const Rect changed[] = {Changed};
    const int shownBefore = surface.FramesShown();
    surface.CopyFrame(Filled(c.redWidth, Height, Red), changed);
    ASSERT_TRUE(WaitFor([&] { return surface.FramesShown() > shownBefore; }));
    const QImage shown = FrameImage(surface);
    for (int y = 0; y < Height; ++y) {
        for (int x = 0; x < Width; ++x) {
            const bool red = x < c.redWidth && (c.whole || Repainted.Contains(x, y));
            EXPECT_EQ(shown.pixel(x, y) | 0xFF000000u, red ? Red : White) << x << "," << y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Copies, ChangedRectangles, ::testing::ValuesIn(Cases),
                         [](const ::testing::TestParamInfo<Case>& c) { return std::string(c.param.name); });

} // namespace
