#include "music/tune.h"

#include <array>
#include <filesystem>

#include "screen/form.h"

namespace ladoslov {

// Kept: only the listing's first "ladoslov.*" is looked at, and its letter case counts.
std::string_view tuneFileOf(std::string_view firstName) {
    for (std::string_view name : {"ladoslov.mid", "ladoslov.mp3", "ladoslov.wav"})
        if (firstName == name) return name;
    return {};
}

std::string tuneCommand(std::string_view verb, std::string_view tunePath) {
    const auto first = tunePath.find_first_not_of(' ');
    const std::string_view p =
        first == std::string_view::npos ? std::string_view{} : tunePath.substr(first, tunePath.find_last_not_of(' ') - first + 1);
    std::string command(verb);
    command += " \"";
    command += p;
    command += '"';
    return command;
}

void Form1::SendTuneCommand(std::string_view verb) { services_.multimedia.execute(tuneCommand(verb, TunePath)); }

void Form1::StartTune() {
    // "muz" beside the working directory; a screensaver host starts the program elsewhere, so the
    // program's own folder serves when the working directory has none.
    std::filesystem::path folder = "muz";
    for (const std::filesystem::path& candidate : searchPaths(services_.files, "muz")) {
        if (services_.files.isDirectory(candidate)) {
            folder = candidate;
            break;
        }
    }
    const std::string_view tune = tuneFileOf(services_.files.findFirstFile(folder, "ladoslov.*"));
    if (tune.empty()) return;
    TunePath = (folder / std::string(tune)).string();
    SendTuneCommand("play");
}

// Kept: "play" goes again even while the tune plays; the program keeps no playing state.
void Form1::Image1_Click() {
    if (!TunePath.empty()) SendTuneCommand("play");
}

}  // namespace ladoslov
