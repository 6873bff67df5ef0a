#include "shell/command_line.h"

namespace ladoslov {

HostSwitch classifyCommandLine(std::string_view commandLine) {
    std::string sw;
    for (char ch : commandLine) sw += (ch >= 'a' && ch <= 'z') ? static_cast<char>(ch - 'a' + 'A') : ch;
    const auto first = sw.find_first_not_of(' ');
    if (first == std::string::npos) return HostSwitch::Run;
    sw = sw.substr(first, sw.find_last_not_of(' ') - first + 1);
    if (sw == "/S") return HostSwitch::Run;
    if (sw == "/C") return HostSwitch::Configure;
    // The rest after "/p" is the host's preview window handle; it is not used.
    if (sw.starts_with("/P")) return HostSwitch::Preview;
    return HostSwitch::Run;
}

}  // namespace ladoslov
