#pragma once
#include <string>
#include <string_view>

namespace ladoslov {

inline constexpr const char* kProgramTitle = "Ладослов";

// What the screensaver host asks for on the command line.
enum class HostSwitch { Run, Configure, Preview };

// "/s" or nothing: run; exactly "/c": configure; anything beginning with "/p": preview; anything else runs.
// Letter case and surrounding spaces are ignored.
HostSwitch classifyCommandLine(std::string_view commandLine);

}  // namespace ladoslov
