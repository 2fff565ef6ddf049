// The command line of render-frames.
#include "RenderOptions.h"

#include <charconv>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::uint64_t MillisecondsPerDay = 24ull * 60 * 60 * 1000;
constexpr std::uint32_t MaxSide = 16384;
constexpr std::uint32_t MaxTicks = 100'000'000;

bool ParseUnsigned(std::string_view text, std::uint32_t& value)
{
    if (text.empty() || text.size() > 10)
        return false;
    std::uint64_t wide = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), wide);
    if (error != std::errc() || end != text.data() + text.size() || wide > 0xFFFFFFFFull)
        return false;
    value = static_cast<std::uint32_t>(wide);
    return true;
}

bool ParseSize(std::string_view text, int& width, int& height)
{
    const auto x = text.find('x');
    std::uint32_t w = 0;
    std::uint32_t h = 0;
    if (x == std::string_view::npos || !ParseUnsigned(text.substr(0, x), w) || !ParseUnsigned(text.substr(x + 1), h))
        return false;
    if (w > MaxSide || h > MaxSide)
        return false;
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

// HH:MM:SS.mmm, each field exactly as wide as shown.
bool ParseTime(std::string_view text, std::uint32_t& ms)
{
    if (text.size() != 12 || text[2] != ':' || text[5] != ':' || text[8] != '.')
        return false;
    std::uint32_t h = 0, m = 0, s = 0, milli = 0;
    if (!ParseUnsigned(text.substr(0, 2), h) || !ParseUnsigned(text.substr(3, 2), m) ||
        !ParseUnsigned(text.substr(6, 2), s) || !ParseUnsigned(text.substr(9, 3), milli))
        return false;
    if (h > 23 || m > 59 || s > 59)
        return false;
    ms = ((h * 60 + m) * 60 + s) * 1000 + milli;
    return true;
}

bool ParseList(std::string_view text, std::set<std::uint32_t>& list)
{
    while (true) {
        const auto comma = text.find(',');
        std::uint32_t tick = 0;
        if (!ParseUnsigned(text.substr(0, comma), tick) || tick == 0)
            return false;
        list.insert(tick);
        if (comma == std::string_view::npos)
            return true;
        text = text.substr(comma + 1);
    }
}

} // namespace

bool ParseRenderOptions(const std::vector<std::string>& args, RenderOptions& options, std::string& problem)
{
    bool haveSize = false, haveStart = false, haveTicks = false, haveOut = false, haveSave = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& flag = args[i];
        if (i + 1 >= args.size()) {
            problem = flag.starts_with("--") ? flag + " needs a value" : "unexpected argument " + flag;
            return false;
        }
        const std::string& value = args[++i];
        if (flag == "--size") {
            if (!ParseSize(value, options.width, options.height)) {
                problem = "bad size \"" + value + "\": expected WxH, each 0 to 16384";
                return false;
            }
            haveSize = true;
        } else if (flag == "--start") {
            if (!ParseTime(value, options.startMs)) {
                problem = "bad start time \"" + value + "\": expected HH:MM:SS.mmm";
                return false;
            }
            haveStart = true;
        } else if (flag == "--ticks") {
            if (!ParseUnsigned(value, options.ticks) || options.ticks == 0 || options.ticks > MaxTicks) {
                problem = "bad tick count \"" + value + "\": expected 1 to 100000000";
                return false;
            }
            haveTicks = true;
        } else if (flag == "--step-ms") {
            if (!ParseUnsigned(value, options.stepMs) || options.stepMs >= MillisecondsPerDay) {
                problem = "bad step \"" + value + "\": expected milliseconds below one day";
                return false;
            }
        } else if (flag == "--save") {
            if (haveSave || !ParseList(value, options.saveList)) {
                problem = haveSave ? "give --save or --save-every once"
                                   : "bad tick list \"" + value + "\": expected tick numbers from 1, comma-separated";
                return false;
            }
            haveSave = true;
        } else if (flag == "--save-every") {
            if (haveSave || !ParseUnsigned(value, options.saveEvery) || options.saveEvery == 0) {
                problem = haveSave ? "give --save or --save-every once"
                                   : "bad --save-every \"" + value + "\": expected a count from 1";
                return false;
            }
            haveSave = true;
        } else if (flag == "--beside") {
            if (!ParseSize(value, options.besideWidth, options.besideHeight)) {
                problem = "bad size \"" + value + "\" beside: expected WxH, each 0 to 16384";
                return false;
            }
        } else if (flag == "--out") {
            if (value.empty()) {
                problem = "--out needs a folder";
                return false;
            }
            options.outDir = value;
            haveOut = true;
        } else {
            problem = "unknown option " + flag;
            return false;
        }
    }
    if (!haveSize || !haveStart || !haveTicks || !haveOut) {
        problem = "--size, --start, --ticks and --out are required";
        return false;
    }
    for (std::uint32_t tick : options.saveList)
        if (tick > options.ticks) {
            problem = "tick " + std::to_string(tick) + " of the list is past --ticks";
            return false;
        }
    return true;
}

bool PrepareOutputFolder(const std::filesystem::path& dir, std::string& problem)
{
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    if (error || !std::filesystem::is_directory(dir)) {
        problem = "cannot make the folder " + dir.string();
        return false;
    }
    // Probe with a file of our own: access() says yes to root on read-only mounts.
    const std::string probe = (dir / ".render-frames-probe").string();
    const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (fd < 0) {
        problem = "cannot write to the folder " + dir.string();
        return false;
    }
    ::close(fd);
    ::unlink(probe.c_str());
    return true;
}

std::uint32_t ClockReading(const RenderOptions& options, std::uint32_t tick)
{
    const std::uint64_t ms = options.startMs + static_cast<std::uint64_t>(tick - 1) * options.stepMs;
    return static_cast<std::uint32_t>(ms % MillisecondsPerDay);
}

bool IsSavedTick(const RenderOptions& options, std::uint32_t tick)
{
    if (options.saveEvery != 0)
        return tick % options.saveEvery == 0;
    return options.saveList.contains(tick);
}
