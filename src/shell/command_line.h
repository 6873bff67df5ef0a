#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace ladoslov {

inline constexpr const char* kProgramTitle = "Ладослов";

// What the screensaver host asks for on the command line.
enum class HostSwitch { Run, Configure, Preview };

struct HostRequest {
    HostSwitch kind = HostSwitch::Run;
    // The host's window: the settings dialog that owns the message (/c:<handle>), or the one to draw the
    // preview into (/p <handle>); 0 when none is given or it is no number.
    std::uint64_t window = 0;
};

// "/s" or nothing: run. "/c", "/c:<handle>" or "/c <handle>": configure, as the system's screensaver dialog
// asks with its own window as the owner. Anything beginning with "/p": preview, into the window whose
// handle follows. Anything else runs. Letter case and surrounding spaces are ignored.
HostRequest hostRequestOf(std::string_view commandLine);

}  // namespace ladoslov
