// Times the steady-state tick, which changes the kept frame, beside the whole
// composition of the same frame (the tick with the keeping off, as every tick was
// composed before), in the same run, with rain and without; and counts page faults
// and heap allocations per tick in steady state.
//
// Each tick's frame goes to a stand-in for the window that copies what changed into a
// frame of its own: the whole frame after a whole composition, the changed rectangles
// after a kept tick.
#include "BusyPlan.h"
#include "scene/Catalogue.h"
#include "scene/RandomSource.h"
#include "scene/Scene.h"
#include "scene/ScenePlan.h"
#include "scene/Tick.h"

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <new>
#include <string>
#include <vector>

namespace {

std::atomic<long> g_allocations{0};

constexpr FrameSize Sizes[] = {{1920, 1080}, {3840, 2160}};

// Stands for the window: keeps one frame of its own and copies into it what changed.
struct WindowSink : IFrameSink {
    void CopyFrame(const Raster& frame, std::span<const Rect> changed) override
    {
        const std::size_t count = static_cast<std::size_t>(frame.Width()) * static_cast<std::size_t>(frame.Height());
        if (shown.size() != count)
            shown.resize(count);
        for (const Rect& r : changed) {
            for (int y = r.Top; y < r.Bottom; ++y)
                std::memcpy(shown.data() + static_cast<std::size_t>(y) * frame.Width() + r.Left,
                            frame.Scanline(y) + r.Left, static_cast<std::size_t>(r.Width()) * sizeof(Pixel));
        }
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
        for (int holder = 1; holder <= PictureCount; ++holder)
            c->Draw(scratch, holder, 0, 0);
        return c;
    }();
    return *catalogue;
}

// A busy scene: every layer on, the stars twinkling, the eyes blinking, rain falling
// or not.
void BusyPlan(Scene& scene, FrameSize size, bool rain)
{
    scene.Random.State = 12345;
    RedrawPlan(scene, size);
    MakePlanBusy(scene.Plan, rain);
}

// Arguments: size index, rain (0 or 1), keeping (0: whole composition, 1: kept).
void BM_Tick(benchmark::State& state)
{
    const FrameSize size = Sizes[state.range(0)];
    const bool rain = state.range(1) != 0;
    const bool keeping = state.range(2) != 0;
    Scene scene;
    SetFrameKeeping(scene, keeping);
    BusyPlan(scene, size, rain);
    std::uint32_t clock = 43'200'000;
    SetClockFunction([&clock] { return clock += 100; });
    WindowSink sink;
    Catalogue& catalogue = Pictures();
    // The first tick composes the whole frame whether kept or not.
    ComposeTick(scene, catalogue, size, sink);
    for (auto _ : state)
        ComposeTick(scene, catalogue, size, sink);
    state.SetLabel(std::to_string(size.Width) + "x" + std::to_string(size.Height) + (rain ? " rain" : " no rain") +
                   (keeping ? " kept" : " whole"));
}

BENCHMARK(BM_Tick)->ArgsProduct({{0, 1}, {1, 0}, {0, 1}})->Unit(benchmark::kMillisecond);

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

// Steady state: 1,000 kept ticks after a warm-up, counting minor page faults and heap
// allocations.
void CountPerTick(FrameSize size)
{
    Scene scene;
    BusyPlan(scene, size, true);
    std::uint32_t clock = 43'200'000;
    SetClockFunction([&clock] { return clock += 100; });
    WindowSink sink;
    Catalogue& catalogue = Pictures();
    for (int i = 0; i < 20; ++i)
        ComposeTick(scene, catalogue, size, sink);
    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    const long allocationsBefore = g_allocations.load();
    constexpr int Ticks = 1000;
    for (int i = 0; i < Ticks; ++i)
        ComposeTick(scene, catalogue, size, sink);
    rusage after{};
    getrusage(RUSAGE_SELF, &after);
    const long allocations = g_allocations.load() - allocationsBefore;
    std::printf("%dx%d: over %d kept ticks %ld minor page faults, %ld major, %ld heap allocations\n", size.Width,
                size.Height, Ticks, after.ru_minflt - before.ru_minflt, after.ru_majflt - before.ru_majflt,
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
    std::printf("\nsteady-state tick / whole composition (budget 0.2 at 1920x1080 with rain; medians when "
                "repeated):\n");
    for (int size = 0; size < 2; ++size) {
        for (const int rain : {1, 0}) {
            const std::string args = "BM_Tick/" + std::to_string(size) + "/" + std::to_string(rain) + "/";
            RatioReporter::Times kept;
            RatioReporter::Times whole;
            if (reporter.Find(args + "1", kept) && reporter.Find(args + "0", whole))
                std::printf("  %dx%d %-7s: real kept %.3f ms, whole %.3f ms, ratio %.4f; CPU kept %.3f ms, whole "
                            "%.3f ms, ratio %.4f\n",
                            Sizes[size].Width, Sizes[size].Height, rain ? "rain" : "no rain", kept.real, whole.real,
                            kept.real / whole.real, kept.cpu, whole.cpu, kept.cpu / whole.cpu);
        }
    }
    std::printf("\nsteady state:\n");
    for (const FrameSize size : Sizes)
        CountPerTick(size);
    benchmark::Shutdown();
    return 0;
}
