#pragma once
// The multimedia commands as the window sends them, each written to a stream once it has run: what a
// test (or a user) sees of the tune where the platform's interface shows nothing.

#include <ostream>
#include <string_view>

#include "services/services.h"

namespace ladoslov {

class TracedMultimedia final : public MultimediaCommands {
public:
    // With out == nullptr the commands pass through untraced.
    TracedMultimedia(MultimediaCommands& real, std::ostream* out) : real_(real), out_(out) {}
    bool execute(std::string_view command) override {
        const bool ok = real_.execute(command);
        if (out_) *out_ << "command: " << command << (ok ? "" : " (failed)") << std::endl;
        return ok;
    }

private:
    MultimediaCommands& real_;
    std::ostream* out_;
};

}  // namespace ladoslov
