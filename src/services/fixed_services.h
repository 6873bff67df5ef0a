#pragma once
// Services for a run at a given date and time without sound, other copies or a message box: the
// snapshot renderer and the benchmarks use them.

#include "services/services.h"

namespace ladoslov {

class FixedClock final : public Clock {
public:
    FixedClock(Date d, TimeOfDay t) : date_(d), time_(t) {}
    Date today() const override { return date_; }
    TimeOfDay timeOfDay() const override { return time_; }
    std::uint32_t timerSeed() const override { return 20261206u; }
    void set(Date d, TimeOfDay t) {
        date_ = d;
        time_ = t;
    }

private:
    Date date_;
    TimeOfDay time_;
};

class FixedScreen final : public ScreenInfo {
public:
    FixedScreen(Twips w, Twips h) : w_(w), h_(h) {}
    Twips width() const override { return w_; }
    Twips height() const override { return h_; }
    void set(Twips w, Twips h) {
        w_ = w;
        h_ = h;
    }

private:
    Twips w_, h_;
};

class NoOtherInstance final : public InstanceGuard {
public:
    bool anotherInstanceRunning() override { return false; }
};

class NoTopMost final : public TopMost {
public:
    bool makeTopMost() override { return true; }
};

class SilentMultimedia final : public MultimediaCommands {
public:
    bool execute(std::string_view) override { return true; }
};

class NoMessageBox final : public MessageBox {
public:
    void show(std::string_view, std::string_view, std::uint64_t) override {}
};

class RecordedEnd final : public Process {
public:
    void end(int code) override {
        ended = true;
        exitCode = code;
    }
    bool ended = false;
    int exitCode = 0;
};

}  // namespace ladoslov
