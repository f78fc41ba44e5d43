#include "bridge/Settings.h"

#include <cstdlib>
#include <sstream>

namespace bridge::client {
namespace {

std::string trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return std::string(s);
}

} // namespace

Settings parseSettings(std::string_view text) {
    Settings s;
    std::istringstream in{std::string(text)};
    std::string line;
    while (std::getline(in, line)) {
        const std::string t = trim(line);
        if (t.empty() || t[0] == '#' || t[0] == ';' || t[0] == '[')
            continue;
        const size_t eq = t.find('=');
        if (eq == std::string::npos)
            continue;
        const std::string key = trim(std::string_view(t).substr(0, eq));
        const std::string value = trim(std::string_view(t).substr(eq + 1));
        auto number = [&](int fallback) {
            char* end = nullptr;
            const long v = std::strtol(value.c_str(), &end, 10);
            return end != value.c_str() && *end == '\0' && v > 0 && v <= 3600000 ? static_cast<int>(v)
                                                                                 : fallback;
        };
        if (key == "command")
            s.command = value;
        else if (key == "name")
            s.name = value;
        else if (key == "wineprefix")
            s.wineprefix = value;
        else if (key == "start_ms")
            s.startMs = number(s.startMs);
        else if (key == "silence_ms")
            s.silenceMs = number(s.silenceMs);
    }
    return s;
}

} // namespace bridge::client
