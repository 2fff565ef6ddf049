// Where the pixel blocks of rasters come from, when not from the heap: a window layer
// may hand out memory that its window system reads in place, so that a frame reaches
// the screen without a copy of its own.
#pragma once

#include <cstddef>
#include <cstdint>

class IRasterBlockSource {
public:
    virtual ~IRasterBlockSource() = default;
    // A block of count 32-bit pixels, 64-byte aligned; null leaves it to the heap.
    virtual std::uint32_t* Allocate(std::size_t count) = 0;
    // Takes back a block; false when it is not one this source gave out.
    virtual bool Free(std::uint32_t* block, std::size_t count) = 0;
};
