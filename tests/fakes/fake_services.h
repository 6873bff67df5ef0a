#pragma once
// Fakes of every platform service, and a window built on them.

#include <algorithm>
#include <cstdio>
#include <deque>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "screen/form.h"
#include "services/design_measurer.h"
#include "services/services.h"
#include "services/skip_on_failure.h"

namespace ladoslov::testing {

class FakeClock final : public Clock {
public:
    Date date{2026, 12, 6};
    TimeOfDay time{9, 5, 7};
    Date today() const override { return date; }
    TimeOfDay timeOfDay() const override { return time; }
    std::uint32_t timerSeed() const override { return 42; }
};

// Day-month-year regional settings.
class FakeRegional final : public RegionalFormats {
public:
    std::string shortDate(const Date& d) const override {
        char b[32];
        std::snprintf(b, sizeof b, "%02d.%02d.%04d", d.day, d.month, d.year);
        return b;
    }
    std::string longTime(const TimeOfDay& t) const override {
        char b[32];
        std::snprintf(b, sizeof b, "%02d:%02d:%02d", t.hour, t.minute, t.second);
        return b;
    }
};

// Hands out the queued values, then 0.
class ScriptedRandom final : public RandomSource {
public:
    std::deque<float> values;
    std::vector<std::uint32_t> seeds;
    int draws = 0;
    void seed(std::uint32_t v) override { seeds.push_back(v); }
    float next() override {
        ++draws;
        if (values.empty()) return 0.0f;
        const float v = values.front();
        values.pop_front();
        return v;
    }
};

class FakeScreen final : public ScreenInfo {
public:
    Twips w = 15360, h = 11520;
    Twips width() const override { return w; }
    Twips height() const override { return h; }
};

// Text measured like the design's own widths (120 twips for a one-digit day cell, 225 for two).
using FakeMeasurer = DesignMeasurer;

class FakeInstance final : public InstanceGuard {
public:
    bool another = false;
    bool anotherInstanceRunning() override { return another; }
};

class RecordingTopMost final : public TopMost {
public:
    int calls = 0;
    bool makeTopMost() override {
        ++calls;
        return true;
    }
};

class RecordingMultimedia final : public MultimediaCommands {
public:
    std::vector<std::string> commands;
    bool result = true;
    // Recorded with '/' between folders, so that one expectation holds where the platform writes '\\'.
    bool execute(std::string_view command) override {
        std::string& c = commands.emplace_back(command);
        if (std::filesystem::path::preferred_separator == '\\') std::replace(c.begin(), c.end(), '\\', '/');
        return result;
    }
};

// Files by path; a folder's listing in the order its files were added.
class FakeFileSystem final : public FileSystem {
public:
    std::filesystem::path exeDir = "/opt/ladoslov";
    std::filesystem::path installedDir;
    std::map<std::string, std::string> files;
    std::map<std::string, std::vector<std::string>> listings;
    std::set<std::string> directories;

    void addFile(const std::filesystem::path& p, std::string content) {
        files[p.generic_string()] = std::move(content);
        listings[p.parent_path().generic_string()].push_back(p.filename().string());
        directories.insert(p.parent_path().generic_string());
    }
    std::filesystem::path executableDir() const override { return exeDir; }
    std::filesystem::path installedDataDir() const override { return installedDir; }
    bool isDirectory(const std::filesystem::path& p) const override {
        return directories.count(p.generic_string()) > 0;
    }
    std::unique_ptr<std::istream> openForReading(const std::filesystem::path& p) const override {
        auto it = files.find(p.generic_string());
        if (it == files.end()) return nullptr;
        return std::make_unique<std::istringstream>(it->second);
    }
    std::string findFirstFile(const std::filesystem::path& dir, std::string_view pattern) const override;
};

class FakePictures final : public PictureLoader {
public:
    std::set<std::string> loadable;
    mutable std::vector<std::string> asked;
    bool isLoadableJpeg(const std::filesystem::path& p) const override {
        asked.push_back(p.generic_string());
        return loadable.count(p.generic_string()) > 0;
    }
};

class RecordingMessageBox final : public MessageBox {
public:
    std::vector<std::pair<std::string, std::string>> shown;
    void show(std::string_view title, std::string_view text, std::uint64_t owner) override {
        shown.emplace_back(title, text);
        owners.push_back(owner);
    }
    std::vector<std::uint64_t> owners;
};

class RecordingProcess final : public Process {
public:
    std::vector<int> ends;
    void end(int code) override { ends.push_back(code); }
};

// A step that fails and is skipped fails the running test, unless the test makes steps fail on purpose
// and says so: while an ExpectSkippedFailures lives, the skipped failures are counted instead.
class ExpectSkippedFailures {
public:
    ExpectSkippedFailures();
    ~ExpectSkippedFailures();
    ExpectSkippedFailures(const ExpectSkippedFailures&) = delete;
    ExpectSkippedFailures& operator=(const ExpectSkippedFailures&) = delete;
    int count() const { return count_; }

private:
    static void countOrFail(const FailurePlace& where, const char* what);
    static ExpectSkippedFailures* current_;
    static const bool installed_;
    ExpectSkippedFailures* outer_;
    int count_ = 0;
};

// A window on fakes. Construct, adjust the fakes, then call load().
struct Harness {
    FakeClock clock;
    FakeRegional regional;
    ScriptedRandom random;
    FakeScreen screen;
    FakeMeasurer measurer;
    FakeInstance instance;
    RecordingTopMost topMost;
    RecordingMultimedia multimedia;
    FakeFileSystem files;
    FakePictures pictures;
    RecordingMessageBox messageBox;
    RecordingProcess process;
    Services services{clock, regional, random, screen, measurer, instance, topMost,
                      multimedia, files, pictures, messageBox, process, ""};
    Form1 form{services};

    void load() { form.Form_Load(); }
    // Runs every month's fill to its end.
    void fillAll() {
        while (form.filling())
            for (int m = 1; m <= 12; ++m) form.timerTick(m);
    }
    LabelArray& cells(int month) { return form.labelArray(kMonthBlocks[static_cast<std::size_t>(month - 1)].cellArray); }
    Label& title(int month) { return form.label(kMonthBlocks[static_cast<std::size_t>(month - 1)].titleLabel); }
};

}  // namespace ladoslov::testing
