#include "shell/host_window.h"

#include <charconv>
#include <optional>
#include <string_view>


namespace ladoslov {

namespace {

std::optional<std::uint64_t> windowIdOf(std::string_view text) {
    int base = 10;
    if (text.starts_with("0x") || text.starts_with("0X")) {
        text.remove_prefix(2);
        base = 16;
    }
    std::uint64_t id = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), id, base);
    if (text.empty() || ec != std::errc{} || end != text.data() + text.size() || id == 0) return std::nullopt;
    return id;
}

}  // namespace

HostWindow hostWindowOf(const std::vector<std::string>& args, const char* xscreensaverWindow) {
    HostWindow host;
    std::optional<std::uint64_t> explicitId;
    bool explicitAsked = false, root = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view a = args[i];
        if (a == "-root" || a == "--root") {
            root = true;
        } else if (a == "-window-id" || a == "--window-id") {
            explicitAsked = true;
            if (i + 1 < args.size()) explicitId = windowIdOf(args[++i]);
        } else if (a.starts_with("--window-id=")) {
            explicitAsked = true;
            explicitId = windowIdOf(a.substr(a.find('=') + 1));
        } else {
            host.rest.emplace_back(a);
        }
    }
    const std::optional<std::uint64_t> fromHost = xscreensaverWindow ? windowIdOf(xscreensaverWindow) : std::nullopt;
    if (explicitAsked) {
        // A window id that names no window leaves id 0: the program then draws nowhere rather than
        // over the whole screen.
        host.kind = HostWindow::Kind::Window;
        host.id = explicitId.value_or(0);
    } else if (fromHost) {
        host.kind = HostWindow::Kind::Window;
        host.id = *fromHost;
    } else if (root) {
        host.kind = HostWindow::Kind::Root;
    }
    return host;
}

}  // namespace ladoslov
