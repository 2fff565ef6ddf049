// The window-level colour key: exactly (0,128,0) becomes see-through when the key is
// active; an opaque window shows every pixel as it is; frames are clipped.
#include "support/GuiTestSupport.h"

#include "platform/window/qt/ColourKey.h"
#include "platform/window/TApplication.h"
#include "platform/window/TForm.h"
#include "platform/window/TFrameSurface.h"

#include <QBackingStore>
#include <QWindow>
#include <gtest/gtest.h>

namespace {

constexpr Pixel Key = Rgb(0, 128, 0);

// One row: the key, its neighbours one step away in each channel, and black.
const Pixel Row[] = {Rgb(0, 128, 0), Rgb(0, 127, 0), Rgb(0, 129, 0), Rgb(1, 128, 0), Rgb(0, 128, 1), Rgb(0, 0, 0)};
constexpr int RowLength = 6;

Raster KeyRow()
{
    Raster frame(RowLength, 1);
    for (int x = 0; x < RowLength; ++x)
        frame.SetPixel(x, 0, Row[x]);
    return frame;
}

class ColourKey : public ::testing::Test {
protected:
    void SetUp() override
    {
        form.SetBorderStyle(TBorderStyle::None);
        QtWidget(form)->setGeometry(10, 10, RowLength, 1);
        form.Show();
        // Once the window is on the screen a frame reaches its surface within
        // CopyFrame itself.
        ASSERT_TRUE(WaitFor([&] { return QtWidget(form)->windowHandle() && QtWidget(form)->windowHandle()->isExposed(); }));
    }
    TApplication app;
    TForm form;
    TFrameSurface surface{form};
};

TEST(ColourKeyPlatform, OffscreenShowsTheKey)
{
    EXPECT_TRUE(PlatformShowsColourKey());
}

TEST_F(ColourKey, OnlyTheExactKeyColourBecomesTransparent)
{
    form.SetTransparentColor(true, Key);
    ASSERT_TRUE(form.TransparencyActive());
    surface.CopyFrame(KeyRow());
    const QImage shown = FrameImage(surface);
    ASSERT_EQ(shown.size(), QSize(RowLength, 1));
    // Alpha by pixel: key 0, the neighbours and black 255.
    const int expectedAlpha[RowLength] = {0, 255, 255, 255, 255, 255};
    for (int x = 0; x < RowLength; ++x) {
        const QRgb p = shown.pixel(x, 0);
        EXPECT_EQ(qAlpha(p), expectedAlpha[x]) << "x=" << x;
        if (expectedAlpha[x] == 255) {
            EXPECT_EQ(p & 0xFFFFFFu, Row[x] & 0xFFFFFFu) << "x=" << x;
        }
    }
}

TEST_F(ColourKey, WindowWithoutTheKeyShowsEveryPixel)
{
    form.SetTransparentColor(false, Key);
    EXPECT_FALSE(form.TransparencyActive());
    surface.CopyFrame(KeyRow());
    const QImage shown = FrameImage(surface);
    EXPECT_EQ(shown.format(), QImage::Format_RGB32);
    for (int x = 0; x < RowLength; ++x)
        EXPECT_EQ(shown.pixel(x, 0), Row[x]) << "x=" << x;
}

TEST_F(ColourKey, FrameIsClippedAndTheRestKeepsTheBackground)
{
    for (const bool keyed : {false, true}) {
        SCOPED_TRACE(keyed ? "keyed" : "opaque");
        form.SetTransparentColor(keyed, Key);
        QPalette black = QtWidget(form)->palette();
        black.setColor(QPalette::Window, Qt::black);
        QtWidget(form)->setPalette(black);
        QtWidget(form)->setGeometry(10, 10, 4, 3);
        ASSERT_TRUE(WaitFor([&] { return QtWidget(form)->size() == QSize(4, 3); }));
        // A 6x2 frame of white with a red pixel at (3,1): columns 4 and 5 fall outside;
        // row 2 is not covered and stays black.
        Raster frame(6, 2);
        frame.SetPixel(3, 1, Rgb(255, 0, 0));
        surface.CopyFrame(frame);
        auto expectFrameOverBlack = [](const QImage& shown) {
            ASSERT_EQ(shown.size(), QSize(4, 3));
            for (int y = 0; y < 3; ++y) {
                for (int x = 0; x < 4; ++x) {
                    const Pixel expected = y == 2 ? Black : (x == 3 && y == 1) ? Rgb(255, 0, 0) : White;
                    EXPECT_EQ(shown.pixel(x, y) | 0xFF000000u, expected) << x << "," << y;
                }
            }
        };
        expectFrameOverBlack(FrameImage(surface));
        // A repaint of the uncovered row alone paints background there and nothing of
        // the frame; the window's surface shows the same as before.
        QtWidget(form)->repaint(QRect(0, 2, 4, 1));
        QPaintDevice* device = QtWidget(form)->backingStore()->paintDevice();
        ASSERT_EQ(device->devType(), QInternal::Image);
        expectFrameOverBlack(static_cast<const QImage*>(device)->copy(QtWidget(form)->rect()));
    }
}

TEST_F(ColourKey, AFrameCopiedBeforeTheWindowIsOnTheScreenShowsWithItsFirstPaint)
{
    TForm later;
    TFrameSurface laterSurface{later};
    later.SetBorderStyle(TBorderStyle::None);
    QtWidget(later)->setGeometry(30, 30, RowLength, 1);
    later.Show();
    laterSurface.CopyFrame(KeyRow());
    ASSERT_TRUE(WaitFor([&] { return laterSurface.FramesShown() == 1; }));
    const QImage shown = FrameImage(laterSurface);
    for (int x = 0; x < RowLength; ++x)
        EXPECT_EQ(shown.pixel(x, 0), Row[x]) << "x=" << x;
}

TEST_F(ColourKey, EachCopyReplacesTheWholeFrame)
{
    form.SetTransparentColor(true, Key);
    surface.CopyFrame(KeyRow());
    Raster second(RowLength, 1);   // all white
    surface.CopyFrame(second);
    EXPECT_EQ(surface.FramesShown(), 2);
    for (int x = 0; x < RowLength; ++x)
        EXPECT_EQ(FrameImage(surface).pixel(x, 0), White) << "x=" << x;
}

TEST_F(ColourKey, AWindowShownAgainIsBlackUntilItsNextFrame)
{
    QPalette black = QtWidget(form)->palette();
    black.setColor(QPalette::Window, Qt::black);
    QtWidget(form)->setPalette(black);
    for (const bool keyed : {false, true}) {
        SCOPED_TRACE(keyed ? "keyed" : "opaque");
        form.SetTransparentColor(keyed, Key);
        surface.CopyFrame(Raster(RowLength, 1));   // all white
        ASSERT_EQ(FrameImage(surface).pixel(0, 0) | 0xFF000000u, White);
        form.Hide();
        form.Show();
        ASSERT_TRUE(WaitFor([&] {
            const QImage shown = FrameImage(surface);
            if (shown.size() != QSize(RowLength, 1))
                return false;
            for (int x = 0; x < RowLength; ++x) {
                if ((shown.pixel(x, 0) | 0xFF000000u) != Black)
                    return false;
            }
            return true;
        })) << "the last show's frame is on the screen";
    }
}

} // namespace
