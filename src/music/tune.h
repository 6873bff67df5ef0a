#pragma once
#include <string>
#include <string_view>

namespace ladoslov {

// The tune file a directory listing's first "ladoslov.*" name stands for, compared with letter case:
// "ladoslov.mid", "ladoslov.mp3", "ladoslov.wav", or "" for any other name.
std::string_view tuneFileOf(std::string_view firstName);

// "play "<path>"" or "stop "<path>"", the path trimmed of surrounding spaces.
std::string tuneCommand(std::string_view verb, std::string_view tunePath);

}  // namespace ladoslov
