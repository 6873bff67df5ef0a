#pragma once
// The multimedia command interface of the platform: on Windows the system's own, elsewhere a small
// stand-in that plays one tune at a time through SDL_mixer.

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
