#pragma once
// Running inside a window the screensaver host hands over (an X11 window id), instead of in a window of
// the program's own: the switches and environment that name the window, the scale of a small window,
// and the one tune among several copies.

#include <cstdint>
#include <string>
#include <vector>

#include "services/services.h"

namespace ladoslov {

struct HostWindow {
    enum class Kind { None, Window, Root };
    Kind kind = Kind::None;
    std::uint64_t id = 0;           // for Kind::Window; 0 when the id given is no number
    std::vector<std::string> rest;  // the arguments without the host-window switches
};

// "-window-id ID" / "--window-id ID" / "--window-id=ID" names the window; "-root" / "--root" the root
// window, unless xscreensaverWindow (the host's environment variable, decimal or 0x hex) names one: that
// is how the host runs a program configured with --root. An explicit window id wins over both.
HostWindow hostWindowOf(const std::vector<std::string>& args, const char* xscreensaverWindow);

// One copy runs per monitor in a host's windows: each copy draws, and none ends for the others.
// Whether this copy holds the instance lock decides only whether it plays the tune.
class SharedInstance final : public InstanceGuard {
public:
    explicit SharedInstance(InstanceGuard& lock) : lock_(lock) {}
    bool anotherInstanceRunning() override {
        holdsLock_ = !lock_.anotherInstanceRunning();
        return false;
    }
    bool holdsLock() const { return holdsLock_; }

private:
    InstanceGuard& lock_;
    bool holdsLock_ = false;
};

// The multimedia commands of the copy that holds the instance lock; the other copies stay silent.
class LockHolderMultimedia final : public MultimediaCommands {
public:
    LockHolderMultimedia(MultimediaCommands& real, const SharedInstance& instance) : real_(real), instance_(instance) {}
    bool execute(std::string_view command) override { return instance_.holdsLock() && real_.execute(command); }

private:
    MultimediaCommands& real_;
    const SharedInstance& instance_;
};

}  // namespace ladoslov
