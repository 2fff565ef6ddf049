// render-frames: runs the scene's ticks headless from the process-start state with a
// driven clock and writes chosen frames as PNG files. No display is needed.
#include "RenderOptions.h"
#include "scene/Catalogue.h"
#include "scene/RandomSource.h"
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

struct Window : IClientSize {
    int width = 0;
    int height = 0;
    int ClientWidth() const override { return width; }
    int ClientHeight() const override { return height; }
};

// Keeps the frame only on ticks whose frame is to be saved.
struct SavingSink : IFrameSink {
    void CopyFrame(const Raster& frame) override
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

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

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
    Window window;
    window.width = options.width;
    window.height = options.height;
    SavingSink sink;
    std::vector<double> composeMs;
    composeMs.reserve(static_cast<std::size_t>(options.ticks));
    int saved = 0;
    int failures = 0;
    const bool progress = options.ticks >= 50;

    for (tick = 1; tick <= options.ticks; ++tick) {
        sink.wanted = IsSavedTick(options, tick);
        const auto begin = std::chrono::steady_clock::now();
        try {
            ComposeTick(*catalogue, window, sink);
        } catch (const std::exception& error) {
            // As in the running saver, a failed tick is reported and the next goes on.
            ++failures;
            std::fprintf(stderr, "\nrender-frames: tick %u: %s\n", tick, error.what());
        }
        const auto end = std::chrono::steady_clock::now();
        composeMs.push_back(std::chrono::duration<double, std::milli>(end - begin).count());
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
    std::printf("compose time per tick: min %.3f ms, median %.3f ms, max %.3f ms\n",
                *std::min_element(composeMs.begin(), composeMs.end()), Median(composeMs),
                *std::max_element(composeMs.begin(), composeMs.end()));
    return failures ? 1 : 0;
}
