// Times one tick's composition beside the memory floor of the same frame size, and
// counts page faults and heap allocations per tick in steady state.
//
// The floor is what any frame must cost at the least: fill the frame, copy the sky
// area from a decoded sky, copy the frame once (to the window).
#include "scene/Catalogue.h"
#include "scene/RandomSource.h"
#include "scene/ScenePlan.h"
#include "scene/Tick.h"

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <new>
#include <string>
#include <vector>
#include <cwchar>

namespace {

std::atomic<long> g_allocations{0};

struct Size {
    int width;
    int height;
};
constexpr Size Sizes[] = {{1024, 768}, {1920, 1080}, {3840, 2160}};

struct Window : IClientSize {
    Size size;
    int ClientWidth() const override { return size.width; }
    int ClientHeight() const override { return size.height; }
};

// Stands for the window: keeps one frame of its own and copies each tick into it.
struct WindowSink : IFrameSink {
    void CopyFrame(const Raster& frame) override
    {
        const std::size_t count = static_cast<std::size_t>(frame.Width()) * static_cast<std::size_t>(frame.Height());
        if (shown.size() != count)
            shown.resize(count);
        for (int y = 0; y < frame.Height(); ++y)
            std::memcpy(shown.data() + static_cast<std::size_t>(y) * frame.Width(), frame.Scanline(y),
                        static_cast<std::size_t>(frame.Width()) * sizeof(Pixel));
        benchmark::DoNotOptimize(shown.data());
    }
    std::vector<Pixel> shown;
};

Catalogue& Pictures()
{
    static std::unique_ptr<Catalogue> catalogue = [] {
        auto c = Catalogue::Load(ScreenFormPictures(), JpegDepth::TrueColour);
        // Decode every sky and banner beforehand, so the ticks only copy.
        Raster scratch(1, 1);
        for (int holder = 1; holder <= 28; ++holder)
            c->Draw(scratch, holder, 0, 0);
        return c;
    }();
    return *catalogue;
}

// A busy scene: every layer on, stars and rain falling.
void BusyPlan(const Window& window)
{
    RandomState = 12345;
    RedrawPlan(window);
    Plan.CastleChoice = 2;
    Plan.BranchChoice = 1;
    Plan.TallTreeOn = Plan.ShortTreeOn = 1;
    Plan.Hill1On = Plan.Hill2On = Plan.Hill3On = 1;
    Plan.MoonOn = 1;
    Plan.FigureChoice = 3;
    Plan.EyesChoice = 2;
    Plan.RainOn = 1;
    Plan.StarsOn = 1;
    Plan.CycleCountdown = 1'000'000'000;   // no re-draw while timing
}

void BM_Tick(benchmark::State& state)
{
    Window window;
    window.size = Sizes[state.range(0)];
    BusyPlan(window);
    std::uint32_t clock = 43'200'000;
    SetClockFunction([&clock] { return clock += 100; });
    WindowSink sink;
    Catalogue& catalogue = Pictures();
    for (auto _ : state)
        ComposeTick(catalogue, window, sink);
    state.SetLabel(std::to_string(window.size.width) + "x" + std::to_string(window.size.height));
}

void BM_Floor(benchmark::State& state)
{
    const Size size = Sizes[state.range(0)];
    const std::size_t count = static_cast<std::size_t>(size.width) * static_cast<std::size_t>(size.height);
    std::vector<Pixel> frame(count);
    std::vector<Pixel> window(count);
    const Raster& sky = Pictures().Image(1).Pixels();
    const int skyWidth = std::min(size.width, sky.Width());
    const int skyHeight = std::min(size.height, sky.Height());
    for (auto _ : state) {
        // wmemset fills 32-bit units with the C library's vectorised loop: the fastest
        // plain fill of a colour whose bytes differ.
        std::wmemset(reinterpret_cast<wchar_t*>(frame.data()), static_cast<wchar_t>(Black), count);
        for (int y = 0; y < skyHeight; ++y)
            std::memcpy(frame.data() + static_cast<std::size_t>(y) * size.width, sky.Scanline(y),
                        static_cast<std::size_t>(skyWidth) * sizeof(Pixel));
        std::memcpy(window.data(), frame.data(), count * sizeof(Pixel));
        benchmark::DoNotOptimize(window.data());
        benchmark::ClobberMemory();
    }
    state.SetLabel(std::to_string(size.width) + "x" + std::to_string(size.height));
}

BENCHMARK(BM_Tick)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Floor)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// Keeps the console output and remembers each benchmark's time per iteration, real
// and CPU: the median of the repetitions where there are several (these machines are
// shared, so one run can be slowed by another's build), else the one run.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    struct Times {
        double real = 0;
        double cpu = 0;
    };

    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const std::string name = run.run_name.str();
            const Times times{run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()};
            if (run.run_type == Run::RT_Iteration && !m_medians.contains(name))
                m_single[name] = times;
            else if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                m_medians[name] = times;
        }
    }

    bool Find(const std::string& name, Times& times) const
    {
        if (auto it = m_medians.find(name); it != m_medians.end()) {
            times = it->second;
            return true;
        }
        if (auto it = m_single.find(name); it != m_single.end()) {
            times = it->second;
            return true;
        }
        return false;
    }

private:
    std::map<std::string, Times> m_medians;
    std::map<std::string, Times> m_single;
};

// Steady state: 1,000 ticks after a warm-up, counting minor page faults and heap
// allocations.
void CountPerTick(Size size)
{
    Window window;
    window.size = size;
    BusyPlan(window);
    std::uint32_t clock = 43'200'000;
    SetClockFunction([&clock] { return clock += 100; });
    WindowSink sink;
    Catalogue& catalogue = Pictures();
    for (int i = 0; i < 20; ++i)
        ComposeTick(catalogue, window, sink);
    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    const long allocationsBefore = g_allocations.load();
    constexpr int Ticks = 1000;
    for (int i = 0; i < Ticks; ++i)
        ComposeTick(catalogue, window, sink);
    rusage after{};
    getrusage(RUSAGE_SELF, &after);
    const long allocations = g_allocations.load() - allocationsBefore;
    std::printf("%dx%d: over %d ticks %ld minor page faults, %ld major, %ld heap allocations\n", size.width,
                size.height, Ticks, after.ru_minflt - before.ru_minflt, after.ru_majflt - before.ru_majflt,
                allocations);
}

} // namespace

// Counts every allocation of the process; the pairs below keep malloc and free together.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size)
{
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    Pictures();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\ntick / floor (budget 1.5; medians when repeated):\n");
    for (int i = 0; i < 3; ++i) {
        RatioReporter::Times tick;
        RatioReporter::Times floor;
        if (reporter.Find("BM_Tick/" + std::to_string(i), tick) && reporter.Find("BM_Floor/" + std::to_string(i), floor))
            std::printf("  %dx%d: real tick %.3f ms, floor %.3f ms, ratio %.2f; CPU tick %.3f ms, floor %.3f ms, "
                        "ratio %.2f\n",
                        Sizes[i].width, Sizes[i].height, tick.real, floor.real, tick.real / floor.real, tick.cpu,
                        floor.cpu, tick.cpu / floor.cpu);
    }
    std::printf("\nsteady state:\n");
    for (const Size& size : Sizes)
        CountPerTick(size);
    benchmark::Shutdown();
    return 0;
}
