// Frames straight onto an X11 window from memory the X server reads in place: the
// rasters' larger pixel blocks live in shared memory (MIT-SHM, passed as file
// descriptors), each attached to the server the first time a frame is put from it,
// so that a frame's changed rectangles reach the window without a copy in this
// process, and without Qt's window surface in between.
#pragma once

#include "platform/raster/IRasterBlockSource.h"
#include "platform/raster/Raster.h"

#include <cstdint>
#include <span>
#include <vector>

struct xcb_connection_t;

class X11SharedFrames : public IRasterBlockSource {
public:
    // The one instance, made and set as the rasters' block source the first time it
    // is asked for while Qt runs on X11 and the server attaches this process's memory;
    // null elsewhere (Wayland, the offscreen platform, a remote server). It lives as
    // long as the process: rasters may outlive the application.
    static X11SharedFrames* Get();

    std::uint32_t* Allocate(std::size_t count) override;
    bool Free(std::uint32_t* block, std::size_t count) override;

    // Whether pixels is the start of a block this source has given out and not yet
    // taken back.
    bool Holds(const Pixel* pixels) const;
    // Puts the parts of frame inside rects onto the window at the same places, and
    // returns once the server has read them, so that the frame may change again.
    // False, with nothing put, when the frame's pixels are not a shared block or the
    // window does not show 32-bit pixels of the raster's layout as they are.
    bool Put(std::uint32_t window, const Raster& frame, std::span<const Rect> rects);

private:
    X11SharedFrames() = default;
    bool Attach(std::size_t index);
    bool WindowTakesPixels(std::uint32_t window);

    struct Block {
        std::uint32_t* pixels = nullptr;
        std::size_t bytes = 0;
        int fd = -1;
        std::uint32_t seg = 0;         // the server's name for it once attached, else 0
        bool refused = false;          // the server would not attach it
    };
    std::vector<Block> m_blocks;
    // Qt's connection the blocks were attached on.
    xcb_connection_t* m_connection = nullptr;
    std::uint32_t m_gc = 0;
    // The last window asked about, and whether its pixels are the raster's.
    std::uint32_t m_checkedWindow = 0;
    bool m_windowTakesPixels = false;
};
