// The command line of talvex.
#include "hosts/TalvexOptions.h"

#include <charconv>
#include <cmath>

namespace {

// Resource IDs have their top three bits clear.
constexpr std::uint64_t MaxWindowId = (std::uint64_t{1} << 29) - 1;

// "-root" and "--root" both give "root"; an argument without a dash gives "".
std::string_view OptionName(std::string_view arg)
{
    if (arg.starts_with("--"))
        return arg.substr(2);
    if (arg.starts_with("-"))
        return arg.substr(1);
    return {};
}

// A day: longer than any desktop's idle setting.
constexpr double MaxIdleMinutes = 24 * 60;

// Minutes in plain decimals (5, 0.5), above 0 and at most a day.
bool ParseMinutes(std::string_view text, double& minutes)
{
    double value = 0;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    if (text.empty() || text.front() == '-' || text.front() == '+' || error != std::errc() ||
        end != text.data() + text.size() || !std::isfinite(value) || value <= 0 || value > MaxIdleMinutes)
        return false;
    minutes = value;
    return true;
}

} // namespace

bool ParseWindowId(std::string_view text, std::uint32_t& id)
{
    int base = 10;
    if (text.starts_with("0x") || text.starts_with("0X")) {
        text.remove_prefix(2);
        base = 16;
    }
    // Digits only: from_chars would take a sign, and 20 digits cover any value.
    if (text.empty() || text.size() > 20 || text.front() == '-' || text.front() == '+')
        return false;
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (error != std::errc() || end != text.data() + text.size() || value == 0 || value > MaxWindowId)
        return false;
    id = static_cast<std::uint32_t>(value);
    return true;
}

bool ParseTalvexOptions(const std::vector<std::string>& args, const char* hostWindow, TalvexOptions& options,
                        std::string& problem, const WaylandEnvironment& wayland)
{
    options = TalvexOptions{};
    bool x11Given = false;
    // The last of --root, --window-id and --window, which --idle does not go with.
    std::string_view hostOption;
    // Of --root, --window-id and --window the last one given counts, as with the
    // hosts' own display programs.
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        std::string_view name = OptionName(arg);
        std::string_view value;
        bool inlineValue = false;
        if (const auto equals = name.find('='); equals != std::string_view::npos) {
            value = name.substr(equals + 1);
            name = name.substr(0, equals);
            inlineValue = true;
        }
        if (name == "help" && !inlineValue) {
            options.target = TalvexTarget::Help;
            return true;
        }
        if (name == "version" && !inlineValue) {
            options.target = TalvexTarget::Version;
            return true;
        }
        if ((name == "wayland" || name == "background") && !inlineValue) {
            options.target = TalvexTarget::Wayland;
            options.background = options.background || name == "background";
        } else if (name == "output") {
            if (!inlineValue) {
                if (i + 1 >= args.size()) {
                    problem = std::string(arg) + " needs an output's name";
                    return false;
                }
                value = args[++i];
            }
            if (value.empty()) {
                problem = std::string(arg) + " needs an output's name";
                return false;
            }
            options.target = TalvexTarget::Wayland;
            options.outputs.emplace_back(value);
        } else if (name == "idle") {
            if (!inlineValue) {
                if (i + 1 >= args.size()) {
                    problem = std::string(arg) + " needs the idle minutes";
                    return false;
                }
                value = args[++i];
            }
            if (!ParseMinutes(value, options.idleMinutes)) {
                problem = "bad idle time \"" + std::string(value) + "\": expected minutes above 0, at most 1440";
                return false;
            }
        } else if (name == "cover" && !inlineValue) {
            x11Given = true;
            options.target = TalvexTarget::Cover;
            options.windowId = 0;
        } else if (name == "window" && !inlineValue) {
            x11Given = true;
            hostOption = arg;
            options.target = TalvexTarget::OwnWindow;
            options.windowId = 0;
        } else if (name == "root" && !inlineValue) {
            x11Given = true;
            hostOption = arg;
            options.target = TalvexTarget::HostWindow;
            options.windowId = 0;
            if (hostWindow != nullptr && !ParseWindowId(hostWindow, options.windowId)) {
                problem = "bad XSCREENSAVER_WINDOW \"" + std::string(hostWindow) +
                          "\": expected a window ID in decimal or 0x hexadecimal";
                return false;
            }
        } else if (name == "window-id") {
            x11Given = true;
            hostOption = arg;
            if (!inlineValue) {
                if (i + 1 >= args.size()) {
                    problem = std::string(arg) + " needs a window ID";
                    return false;
                }
                value = args[++i];
            }
            options.target = TalvexTarget::HostWindow;
            if (!ParseWindowId(value, options.windowId)) {
                problem = "bad window ID \"" + std::string(value) + "\": expected decimal or 0x hexadecimal";
                return false;
            }
        } else {
            problem = "unknown option \"" + std::string(arg) + "\" (try --help)";
            return false;
        }
    }
    if ((options.background || !options.outputs.empty()) && options.target != TalvexTarget::Wayland) {
        problem = std::string(options.background ? "--background" : "--output") +
                  " is for Wayland; it does not go with --root, --window-id or --window";
        return false;
    }
    const auto set = [](const char* value) { return value != nullptr && *value != '\0'; };
    if (options.idleMinutes > 0) {
        // The saver's own windows, never a host's or a trying window.
        if (options.target == TalvexTarget::OwnWindow || options.target == TalvexTarget::HostWindow ||
            options.background) {
            const std::string other = options.background ? "--background" : std::string(hostOption);
            if (!other.empty()) {
                problem = "--idle shows the scene as a saver; it does not go with " + other;
                return false;
            }
        }
        if (options.target == TalvexTarget::OwnWindow)
            options.target = set(wayland.display) || set(wayland.socket) ? TalvexTarget::Wayland : TalvexTarget::Cover;
        return true;
    }
    if (!x11Given && hostWindow == nullptr && (set(wayland.display) || set(wayland.socket)))
        options.target = TalvexTarget::Wayland;
    if (options.target == TalvexTarget::Wayland && set(wayland.outputName))
        options.outputs.emplace_back(wayland.outputName);
    return true;
}

std::string TalvexUsage()
{
    return "usage: talvex [--root | --window-id ID | --window | --cover | --wayland | --background]\n"
           "              [--output NAME]... [--idle MINUTES] [--help] [--version]\n"
           "The night scene of the Talvex saver, for the X screen-saver hosts and Wayland compositors.\n"
           "  --root          draw on the window named by XSCREENSAVER_WINDOW, else on the root window\n"
           "  --window-id ID  draw on window ID (decimal or 0x hexadecimal)\n"
           "  --window        open a window of its own (the default on X11); Escape or Q closes it\n"
           "  --cover         cover the whole X11 screen as a saver; a key, or a move of the pointer of\n"
           "                  more than 5 pixels, ends it\n"
           "  --wayland       as a saver on every output of the Wayland compositor (the default when\n"
           "                  WAYLAND_DISPLAY or WAYLAND_SOCKET is set); a key or a move of the pointer\n"
           "                  ends it\n"
           "  --background    on the Wayland background layer of every output, taking no input\n"
           "  --output NAME   on Wayland, only on the output of that name (may be given again);\n"
           "                  SWAYLOCK_PLUGIN_OUTPUT_NAME, when set, names one too\n"
           "  --idle MINUTES  wait until the session has been idle that long (5, 0.5), show the scene as\n"
           "                  a saver until input ends it, and wait again\n"
           "Options take one dash or two. SIGTERM or SIGINT ends it with status 0.\n";
}
