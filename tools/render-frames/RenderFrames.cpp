// render-frames: runs the ticks of a fresh scene headless with a driven clock and writes chosen frames as PNG files. No display is needed.
#include "RenderOptions.h"
#include "scene/Catalogue.h"
#include "scene/RandomSource.h"
#include "scene/Scene.h"
#include "scene/Tick.h"

#include <QImage>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace {

// Keeps the frame only on ticks whose frame is to be saved; the frame is whole on every
// tick, whatever changed in it.
struct SavingSink : IFrameSink {
    void CopyFrame(const Raster& frame, std::span<const Rect>) override
    {
        if (!wanted)
            return;
        image = QImage(frame.Width(), frame.Height(), QImage::Format_RGB32);
        for (int y = 0; y < frame.Height(); ++y)
            std::copy_n(frame.Scanline(y), frame.Width(), reinterpret_cast<Pixel*>(image.scanLine(y)));
    }
    bool wanted = false;
    QImage image;
};

bool SavePng(const QImage& image, const std::filesystem::path& path)
{
    // Written under a temporary name and renamed, so a frame file is whole or absent.
    const std::filesystem::path temp = path.string() + ".part";
    if (!image.save(QString::fromStdString(temp.string()), "PNG")) {
        std::filesystem::remove(temp);
        return false;
    }
    std::error_code error;
    std::filesystem::rename(temp, path, error);
    return !error;
}

// Compose times in 10-microsecond buckets up to one second, so that a run of any
// length keeps a fixed amount of memory; min and max are kept exactly.
class ComposeTimes {
public:
    void Add(double ms)
    {
        m_min = std::min(m_min, ms);
        m_max = std::max(m_max, ms);
        const auto bucket = static_cast<std::size_t>(std::clamp(ms * 100.0, 0.0, double(Buckets - 1)));
        ++m_counts[bucket];
        ++m_total;
    }
    double Min() const { return m_total ? m_min : 0; }
    double Max() const { return m_total ? m_max : 0; }
    // The middle value, to the nearest bucket (10 microseconds).
    double Median() const
    {
        std::uint64_t seen = 0;
        for (std::size_t bucket = 0; bucket < Buckets; ++bucket) {
            seen += m_counts[bucket];
            if (2 * seen >= m_total)
                return std::clamp((static_cast<double>(bucket) + 0.5) / 100.0, m_min, m_max);
        }
        return m_max;
    }

private:
    static constexpr std::size_t Buckets = 100'000;
    std::vector<std::uint64_t> m_counts = std::vector<std::uint64_t>(Buckets);
    std::uint64_t m_total = 0;
    double m_min = 1e300;
    double m_max = 0;
};

} // namespace

int main(int argc, char** argv)
{
    RenderOptions options;
    std::string problem;
    if (!ParseRenderOptions(std::vector<std::string>(argv + 1, argv + argc), options, problem)) {
        std::fprintf(stderr, "render-frames: %s\n", problem.c_str());
        std::fprintf(stderr, "usage: render-frames --size WxH --start HH:MM:SS.mmm --ticks N [--step-ms 100] "
                             "[--save LIST | --save-every K] --out DIR\n");
        return 2;
    }
    if (!PrepareOutputFolder(options.outDir, problem)) {
        std::fprintf(stderr, "render-frames: %s\n", problem.c_str());
        return 2;
    }

    std::unique_ptr<Catalogue> catalogue;
    try {
        catalogue = Catalogue::Load(ScreenFormPictures(), JpegDepth::TrueColour);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "render-frames: the stored pictures do not load: %s\n", error.what());
        return 1;
    }

    std::uint32_t tick = 0;
    SetClockFunction([&] { return ClockReading(options, tick); });
    Scene scene;
    const FrameSize size{options.width, options.height};
    SavingSink sink;
    ComposeTimes composeMs;
    int saved = 0;
    int failures = 0;
    const bool progress = options.ticks >= 50;

    for (tick = 1; tick <= options.ticks; ++tick) {
        sink.wanted = IsSavedTick(options, tick);
        const auto begin = std::chrono::steady_clock::now();
        try {
            ComposeTick(scene, *catalogue, size, sink);
        } catch (const std::exception& error) {
            // As in the running saver, a failed tick is reported and the next goes on.
            ++failures;
            std::fprintf(stderr, "\nrender-frames: tick %u: %s\n", tick, error.what());
        }
        const auto end = std::chrono::steady_clock::now();
        composeMs.Add(std::chrono::duration<double, std::milli>(end - begin).count());
        if (sink.wanted) {
            char name[32];
            std::snprintf(name, sizeof name, "frame-%06u.png", tick);
            if (!SavePng(sink.image, options.outDir / name)) {
                std::fprintf(stderr, "\nrender-frames: cannot write %s\n", (options.outDir / name).c_str());
                return 2;
            }
            ++saved;
        }
        if (progress && (tick % 100 == 0 || tick == options.ticks))
            std::fprintf(stderr, "\rtick %u of %u, %d frames written", tick, options.ticks, saved);
    }
    if (progress)
        std::fprintf(stderr, "\n");

    std::printf("%u ticks at %dx%d, %d frames written to %s, %d failed ticks\n", options.ticks, options.width,
                options.height, saved, options.outDir.c_str(), failures);
    std::printf("compose time per tick: min %.3f ms, median %.2f ms, max %.3f ms\n", composeMs.Min(),
                composeMs.Median(), composeMs.Max());
    return failures ? 1 : 0;
}
