#pragma once
// The stand-in for the multimedia command interface: plays one tune at a time through SDL (an MP3 on a
// device of its own, MIDI and WAV through SDL_mixer).

#include <memory>
#include <string_view>

#include "services/services.h"

namespace ladoslov {

// Understands "play "<path>"" and "stop "<path>"" (verb in any letter case). Playing goes on in the
// background; nothing is printed or shown, and a failure of any kind only makes execute() return false.
class SdlMultimedia final : public MultimediaCommands {
public:
    SdlMultimedia();
    ~SdlMultimedia() override;
    SdlMultimedia(const SdlMultimedia&) = delete;
    SdlMultimedia& operator=(const SdlMultimedia&) = delete;

    bool execute(std::string_view command) override;

private:
    struct Device;  // the audio device and the loaded tune, opened at the first "play"
    std::unique_ptr<Device> device_;
};

}  // namespace ladoslov
