// The command line of talvex.
#include "hosts/TalvexOptions.h"

#include <charconv>

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
                        std::string& problem)
{
    options = TalvexOptions{};
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
        if (name == "window" && !inlineValue) {
            options.target = TalvexTarget::OwnWindow;
            options.windowId = 0;
        } else if (name == "root" && !inlineValue) {
            options.target = TalvexTarget::HostWindow;
            options.windowId = 0;
            if (hostWindow != nullptr && !ParseWindowId(hostWindow, options.windowId)) {
                problem = "bad XSCREENSAVER_WINDOW \"" + std::string(hostWindow) +
                          "\": expected a window ID in decimal or 0x hexadecimal";
                return false;
            }
        } else if (name == "window-id") {
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
    return true;
}

std::string TalvexUsage()
{
    return "usage: talvex [--root | --window-id ID | --window] [--help] [--version]\n"
           "The night scene of the Talvex saver, for the X screen-saver hosts.\n"
           "  --root          draw on the window named by XSCREENSAVER_WINDOW, else on the root window\n"
           "  --window-id ID  draw on window ID (decimal or 0x hexadecimal)\n"
           "  --window        open a window of its own (the default); Escape or Q closes it\n"
           "Options take one dash or two. SIGTERM or SIGINT ends it with status 0.\n";
}
