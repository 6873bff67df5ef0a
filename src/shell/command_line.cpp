#include "shell/command_line.h"

#include <charconv>

namespace ladoslov {

namespace {

// A window handle as the host writes it: decimal, after an optional colon or spaces; 0 when it is none.
std::uint64_t handleOf(std::string_view rest) {
    if (rest.starts_with(':')) rest.remove_prefix(1);
    while (rest.starts_with(' ')) rest.remove_prefix(1);
    std::uint64_t handle = 0;
    const auto [end, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), handle);
    return ec == std::errc{} && end == rest.data() + rest.size() ? handle : 0;
}

}  // namespace

HostRequest hostRequestOf(std::string_view commandLine) {
    std::string sw;
    for (char ch : commandLine) sw += (ch >= 'a' && ch <= 'z') ? static_cast<char>(ch - 'a' + 'A') : ch;
    const auto first = sw.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    sw = sw.substr(first, sw.find_last_not_of(' ') - first + 1);
    if (sw == "/S") return {};
    // The dialog's Settings button sends its own window after a colon (or a space): still "configure".
    if (sw == "/C" || sw.starts_with("/C:") || sw.starts_with("/C ")) return {HostSwitch::Configure, handleOf(sw.substr(2))};
    if (sw.starts_with("/P")) return {HostSwitch::Preview, handleOf(sw.substr(2))};
    return {};
}

}  // namespace ladoslov
