#pragma once
// What kind of tune a file holds, judged by its content: the extension may lie, and the decoders take
// some kinds of rubbish without complaint (or complain on the standard error).

#include <optional>
#include <string>

namespace ladoslov {

enum class TuneKind { Midi, Wav, Mp3 };

// nullopt for anything that is not a plausible MIDI, WAV or MP3 file.
std::optional<TuneKind> tuneKindOf(const std::string& path);

}  // namespace ladoslov
