// The stored picture blocks linked into the program: once given back after loading,
// their pages leave the process's resident memory (Linux; Windows keeps them), and
// they read as before and load the same pictures.
#include "scene/Catalogue.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <numeric>
#include <sstream>
#include <string>

#ifndef _WIN32
namespace {

// The resident size, in KiB, of the mapping that holds address, from /proc/self/smaps;
// -1 when no mapping holds it.
long ResidentKibOfMappingAt(const void* address)
{
    const auto at = reinterpret_cast<std::uintptr_t>(address);
    std::ifstream smaps("/proc/self/smaps");
    std::string line;
    bool inside = false;
    while (std::getline(smaps, line)) {
        std::uintptr_t from = 0, to = 0;
        char dash = 0;
        std::istringstream range(line);
        if (range >> std::hex >> from >> dash >> to && dash == '-') {
            inside = at >= from && at < to;
            continue;
        }
        long kib = 0;
        if (inside && std::sscanf(line.c_str(), "Rss: %ld kB", &kib) == 1)
            return kib;
    }
    return -1;
}

} // namespace
#endif

TEST(ScreenFormPictures, GiveTheirPagesBackAndReadTheSameAfterwards)
{
    const auto blocks = ScreenFormPictures();
    ASSERT_GT(blocks.size(), 1u << 20);
    const auto sum = [&] { return std::accumulate(blocks.begin(), blocks.end(), std::uint64_t{0}); };
    const std::uint64_t before = sum();
#ifndef _WIN32
    const void* middle = blocks.data() + blocks.size() / 2;
    const long residentBefore = ResidentKibOfMappingAt(middle);
    ReleaseScreenFormPictures();
    const long residentAfter = ResidentKibOfMappingAt(middle);
    // All but the two pages at the ends, which hold other data too.
    const long givenBack = static_cast<long>(blocks.size() / 1024) - 8;
    EXPECT_LE(residentAfter, residentBefore - givenBack) << residentBefore << " KiB before";
#else
    // Windows keeps the pages: giving them back does nothing there.
    ReleaseScreenFormPictures();
#endif
    EXPECT_EQ(sum(), before);
    auto catalogue = Catalogue::Load(blocks, JpegDepth::TrueColour);
    EXPECT_EQ(catalogue->Image(7).Width(), Facts(7).Width);
}
