// The multimedia command stand-in on SDL's disk audio driver, which writes the mixed samples to a file.
// SDL takes one audio driver per process, so every case runs the commands in a child process (this same
// binary with --commands) and then reads what the child wrote.

#include <gtest/gtest.h>
#include <SDL_mixer.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <numbers>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "sound/sdl_multimedia.h"

extern char** environ;

namespace fs = std::filesystem;

namespace {

// ---- The child: runs its steps and writes, for each, the result and how many bytes of sound the
// driver had written by then.

int runCommands(const char* resultPath, int count, char** steps) {
    std::ofstream results(resultPath);
    const char* soundFile = std::getenv("SDL_DISKAUDIOFILE");
    auto written = [&] {
        std::error_code ec;
        const auto size = soundFile ? fs::file_size(soundFile, ec) : 0;
        return ec ? std::uintmax_t{0} : size;
    };
    {
        ladoslov::SdlMultimedia multimedia;
        for (int i = 0; i < count; ++i) {
            const std::string step = steps[i];
            std::string result = "-";
            if (step.rfind("wait ", 0) == 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(std::stoi(step.substr(5))));
            } else {
                result = multimedia.execute(step) ? "1" : "0";
            }
            results << "step " << result << ' ' << written() << '\n';
        }
        // Whether SDL_mixer was loaded at all, and its MIDI synthesisers readied.
        void* mixer = dlopen("libSDL2_mixer-2.0.so.0", RTLD_NOW | RTLD_NOLOAD);
        auto init = mixer ? reinterpret_cast<decltype(&Mix_Init)>(dlsym(mixer, "Mix_Init")) : nullptr;
        results << "mixer " << (mixer != nullptr) << " midi " << (init && (init(0) & MIX_INIT_MID) != 0) << '\n';
    }
    results << "end " << written() << '\n';
    return results ? 0 : 3;
}

// ---- The parent.

struct Step {
    std::string result;  // "1", "0", or "-" for a wait
    std::uintmax_t bytes = 0;
};

struct ChildRun {
    bool exited = false;
    int exitCode = -1;
    std::string output;  // standard output and error together
    std::vector<Step> steps;
    std::uintmax_t endBytes = 0;
    int mixer = -1;  // 1 when SDL_mixer was loaded
    int midi = -1;   // 1 when its MIDI synthesisers were readied
    std::vector<std::int16_t> samples;  // interleaved, 44100 Hz stereo as both devices are opened
    bool soundFileExists = false;

    std::vector<std::string> results() const {
        std::vector<std::string> r;
        for (const Step& s : steps)
            if (s.result != "-") r.push_back(s.result);
        return r;
    }
};

std::string readAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class SoundTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "ladoslov-sound-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir = pattern;
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }

    // Runs the steps ("play "<path>"", "wait 500", any text) in a child with the given audio driver.
    ChildRun run(const std::vector<std::string>& steps, const std::string& driver = "disk",
                 const std::vector<std::string>& moreEnvironment = {}) {
        const fs::path resultFile = dir / "results.txt", soundFile = dir / "sound.raw", outFile = dir / "output.txt";
        fs::remove(resultFile);
        fs::remove(soundFile);

        std::vector<std::string> env;
        for (char** e = environ; *e; ++e) {
            const std::string_view v = *e;
            if (v.starts_with("SDL_")) continue;  // no soundfont or driver settings from outside
            env.emplace_back(v);
        }
        env.push_back("SDL_AUDIODRIVER=" + driver);
        env.push_back("SDL_DISKAUDIOFILE=" + soundFile.string());
        env.insert(env.end(), moreEnvironment.begin(), moreEnvironment.end());
        std::vector<char*> envp;
        for (auto& e : env) envp.push_back(e.data());
        envp.push_back(nullptr);

        std::vector<std::string> args{"/proc/self/exe", "--commands", resultFile.string()};
        args.insert(args.end(), steps.begin(), steps.end());
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
        pid_t pid = 0;
        const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        ChildRun r;
        if (spawned != 0) {
            ADD_FAILURE() << "could not start the child: " << std::strerror(spawned);
            return r;
        }
        int status = 0;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (waitpid(pid, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                kill(pid, SIGKILL);
                waitpid(pid, &status, 0);
                ADD_FAILURE() << "the child hung";
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        r.exited = WIFEXITED(status);
        r.exitCode = r.exited ? WEXITSTATUS(status) : -1;
        r.output = readAll(outFile);

        std::istringstream lines(readAll(resultFile));
        for (std::string word; lines >> word;) {
            if (word == "step") {
                Step s;
                lines >> s.result >> s.bytes;
                r.steps.push_back(s);
            } else if (word == "mixer") {
                lines >> r.mixer;
            } else if (word == "midi") {
                lines >> r.midi;
            } else if (word == "end") {
                lines >> r.endBytes;
            }
        }
        r.soundFileExists = fs::exists(soundFile);
        if (r.soundFileExists) {
            const std::string raw = readAll(soundFile);
            r.samples.resize(raw.size() / 2);
            // The driver may have made the file and written nothing yet: no copy into an empty vector's null.
            if (!r.samples.empty()) std::memcpy(r.samples.data(), raw.data(), r.samples.size() * 2);
        }
        return r;
    }

    // Every child ends normally and says nothing, whatever it was given.
    static void expectCleanExit(const ChildRun& r) {
        EXPECT_TRUE(r.exited) << "the child crashed";
        EXPECT_EQ(r.exitCode, 0);
        EXPECT_EQ(r.output, "") << "the child printed something";
    }

    // Writes a mono 16-bit WAV: a 440 Hz tone at half scale for toneSeconds, then silence.
    fs::path writeWav(const std::string& name, double toneSeconds, double silenceSeconds) {
        const int rate = 22050;
        const auto toneFrames = static_cast<std::uint32_t>(toneSeconds * rate);
        const auto frames = toneFrames + static_cast<std::uint32_t>(silenceSeconds * rate);
        std::string data;
        for (std::uint32_t i = 0; i < frames; ++i) {
            const double v = i < toneFrames ? 16384 * std::sin(2 * std::numbers::pi * 440 * i / rate) : 0;
            const auto s = static_cast<std::int16_t>(v);
            data += static_cast<char>(s & 0xFF);
            data += static_cast<char>((s >> 8) & 0xFF);
        }
        auto le = [](std::uint32_t v, int n) {
            std::string b;
            for (int i = 0; i < n; ++i) b += static_cast<char>((v >> (8 * i)) & 0xFF);
            return b;
        };
        const std::string wav = "RIFF" + le(36 + data.size(), 4) + "WAVE" + "fmt " + le(16, 4) + le(1, 2) + le(1, 2) +
                                le(rate, 4) + le(rate * 2, 4) + le(2, 2) + le(16, 2) + "data" + le(data.size(), 4) + data;
        const fs::path p = dir / name;
        std::ofstream(p, std::ios::binary) << wav;
        return p;
    }

    fs::path writeFile(const std::string& name, const std::string& bytes) {
        const fs::path p = dir / name;
        std::ofstream(p, std::ios::binary) << bytes;
        return p;
    }

    fs::path dir;
};

std::string play(const fs::path& p) { return "play \"" + p.string() + "\""; }
std::string stop(const fs::path& p) { return "stop \"" + p.string() + "\""; }

struct Level {
    double rms = 0;
    int peak = 0;
};

// The level of the recording between two byte offsets, clipped to what was written.
Level level(const ChildRun& r, double fromByte, double toByte) {
    const auto from = std::min<std::size_t>(static_cast<std::size_t>(std::max(0.0, fromByte)) / 2, r.samples.size());
    const auto to = std::min<std::size_t>(static_cast<std::size_t>(std::max(0.0, toByte)) / 2, r.samples.size());
    Level l;
    if (to <= from) return l;
    double sum = 0;
    for (std::size_t i = from; i < to; ++i) {
        sum += double(r.samples[i]) * r.samples[i];
        l.peak = std::max(l.peak, std::abs(int{r.samples[i]}));
    }
    l.rms = std::sqrt(sum / double(to - from));
    return l;
}

std::ostream& operator<<(std::ostream& os, const Level& l) { return os << "RMS " << l.rms << ", peak " << l.peak; }

// Music starts within two device buffers of a command's return and ends as quickly after "stop".
constexpr double SlackSeconds = 0.15;
constexpr double Audible = 300;  // RMS of full scale 32767; the tunes here run in the thousands
constexpr int Silent = 16;       // peak
constexpr double BytesPerSecond = 44100.0 * 2 * 2;

const fs::path SourceDir = LADOSLOV_SOURCE_DIR;
const fs::path MidiTune = LADOSLOV_TUNE_MIDI;  // the shipped tune's source

// ---- The cases.

class PlaysEachFormat : public SoundTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(PlaysEachFormat, SoundsUntilStoppedThenIsSilent) {
    const std::string kind = GetParam();
    fs::path tune;
    int waitMs = 900;
    if (kind == "midi") {
        tune = MidiTune;
        waitMs = 3000;  // it loads in the background, reading its soundfont first
    } else if (kind == "shipped mp3") {
        tune = SourceDir / "muz" / "ladoslov.mp3";
    } else if (kind == "mp3") {
        tune = SourceDir / "tests" / "sound" / "data" / "tone.mp3";
    } else {
        tune = writeWav("tone.wav", 2.0, 0);
    }
    ASSERT_TRUE(fs::exists(tune)) << tune;
    // Ending in a wait lets the device run on after the stop.
    const ChildRun r = run({play(tune), "wait " + std::to_string(waitMs), stop(tune), "wait 500"});
    expectCleanExit(r);
    ASSERT_TRUE(r.soundFileExists) << "the sound device was never opened";
    EXPECT_EQ(r.results(), (std::vector<std::string>{"1", "1"}));
    ASSERT_EQ(r.steps.size(), 4u);
    const double second = BytesPerSecond;
    const std::uintmax_t stopped = r.steps[2].bytes;
    // The half second before the stop: a MIDI tune may take a while to load.
    const Level playing = level(r, double(stopped) - 0.5 * second, double(stopped));
    const Level after = level(r, double(stopped) + SlackSeconds * second, double(r.endBytes));
    EXPECT_GT(playing.rms, Audible) << kind << " while playing: " << playing;
    EXPECT_GT(double(r.endBytes) - double(stopped), 0.3 * second) << "the device did not run on after the stop";
    EXPECT_LE(after.peak, Silent) << kind << " after stop: " << after;
    // FluidSynth and its soundfont cost memory and start-up time: only a MIDI tune may ready them, and
    // an MP3 tune does not even load SDL_mixer and the libraries it brings.
    EXPECT_EQ(r.midi, kind == "midi" ? 1 : 0) << kind;
    EXPECT_EQ(r.mixer, kind == "midi" || kind == "wav" ? 1 : 0) << kind;
    std::cout << "[ sound    ] " << kind << " playing: " << playing << "; after stop: " << after << '\n';
}

INSTANTIATE_TEST_SUITE_P(Formats, PlaysEachFormat, ::testing::Values("midi", "shipped mp3", "mp3", "wav"));

// A short tone, then silence: whether the tone comes again shows whether "play" started from the top.
// WAV plays through SDL_mixer, MP3 on the light device.
class PlayAgain : public SoundTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(PlayAgain, RestartsOnlyWhenStoppedOrEnded) {
    const fs::path blip = std::string_view(GetParam()) == "wav" ? writeWav("blip.wav", 0.3, 1.2)  // 1.5 s in all
                                                                 : SourceDir / "tests" / "sound" / "data" / "blip.mp3";
    const ChildRun r = run({
        play(blip), "wait 900",   // 0, 1: into the silent part
        play(blip), "wait 500",   // 2, 3: playing still: nothing changes
        stop(blip),               // 4
        play(blip), "wait 2300",  // 5, 6: from the top, and once only
        play(blip), "wait 600",   // 7, 8: after the end: from the top
    });
    expectCleanExit(r);
    ASSERT_TRUE(r.soundFileExists) << "the sound device was never opened";
    EXPECT_EQ(r.results(), (std::vector<std::string>(5, "1")));
    ASSERT_EQ(r.steps.size(), 9u);
    const double second = BytesPerSecond;
    const auto at = [&](std::size_t step) { return double(r.steps[step].bytes); };

    const Level first = level(r, 0, at(1));
    EXPECT_GT(first.rms, Audible) << "first play: " << first;
    ASSERT_GT(at(2), (0.3 + SlackSeconds) * second) << "the device ran too slowly to tell";
    const Level whilePlaying = level(r, (0.3 + SlackSeconds) * second, at(3));
    EXPECT_LE(whilePlaying.peak, Silent) << "play while playing started again: " << whilePlaying;

    const Level afterStop = level(r, at(5), at(5) + (0.3 + SlackSeconds) * second);
    EXPECT_GT(afterStop.rms, Audible) << "play after stop did not start from the beginning: " << afterStop;
    const Level rest = level(r, at(5) + (0.3 + SlackSeconds) * second, at(6));
    EXPECT_GT(at(6) - at(5), 1.8 * second) << "the device ran too slowly to tell";
    EXPECT_LE(rest.peak, Silent) << "the tune came round again: " << rest;

    const Level afterEnd = level(r, at(7), at(8));
    EXPECT_GT(afterEnd.rms, Audible) << "play after the end did not start again: " << afterEnd;
}

INSTANTIATE_TEST_SUITE_P(Formats, PlayAgain, ::testing::Values("wav", "mp3"));

// A MIDI tune takes a while to load; a command given meanwhile must still have the last word.
TEST_F(SoundTest, ALoadingMidiTuneGivesWayToLaterCommands) {
    const fs::path midi = MidiTune;
    const fs::path blip = writeWav("blip.wav", 0.3, 0);
    const double second = BytesPerSecond;

    ChildRun r = run({play(midi), stop(midi), "wait 2500"});
    expectCleanExit(r);
    EXPECT_EQ(r.results(), (std::vector<std::string>{"1", "1"}));
    EXPECT_LE(level(r, 0, double(r.endBytes)).peak, Silent) << "the tune started although stopped";

    r = run({play(midi), play(blip), "wait 2500"});
    expectCleanExit(r);
    EXPECT_EQ(r.results(), (std::vector<std::string>{"1", "1"}));
    // The WAV waits for the load to finish, as SDL_mixer loads one thing at a time.
    const double started = double(r.steps[1].bytes);
    const Level replaced = level(r, started + (0.3 + SlackSeconds) * second, double(r.endBytes));
    EXPECT_GT(level(r, started, started + (0.3 + SlackSeconds) * second).rms, Audible);
    EXPECT_LE(replaced.peak, Silent) << "the MIDI tune started over the later one: " << replaced;
}

TEST_F(SoundTest, BrokenOrMissingFilesAreRefusedAndTheDeviceGoesOn) {
    const std::string midi = readAll(MidiTune);
    ASSERT_GT(midi.size(), 200u);
    std::string noise;
    for (int i = 0; i < 4000; ++i) noise += static_cast<char>((i * 7919 + 13) % 251);
    std::string badEvent = midi;
    badEvent[midi.find("MTrk", 20) + 9] = '\xF1';  // a system message in the middle of a track
    const std::vector<fs::path> refused{
        writeFile("noise.mid", noise),
        writeFile("noise.mp3", noise),
        writeFile("noise.wav", noise),
        writeFile("noise", noise),
        writeFile("empty.wav", ""),
        writeFile("truncated.mid", midi.substr(0, 200)),
        writeFile("bad-event.mid", badEvent),
        writeFile("header-only.wav", std::string("RIFF\x24\0\0\0WAVEfmt ", 16)),
        writeFile("tag-only.mp3", std::string("ID3\x03\0\0\0\0\0\x10", 10) + noise),
        writeFile("text.mid", "play \"this\"\n"),
        dir / "missing.wav",
        dir,
    };
    const fs::path good = writeWav("good.wav", 0.5, 0);
    std::vector<std::string> steps;
    for (const fs::path& p : refused) steps.push_back(play(p));
    steps.push_back(stop(refused.front()));  // never opened
    steps.push_back(play(SourceDir / "tests" / "sound" / "data" / "tone.mp3"));
    steps.push_back(play(good));
    steps.push_back("wait 300");
    const ChildRun r = run(steps);
    expectCleanExit(r);
    std::vector<std::string> expected(refused.size() + 1, "0");
    expected.insert(expected.end(), {"1", "1"});
    EXPECT_EQ(r.results(), expected);
    const Level goodLevel = level(r, double(r.steps[steps.size() - 2].bytes), double(r.endBytes));
    EXPECT_GT(goodLevel.rms, Audible) << "the device stopped working: " << goodLevel;
}

TEST_F(SoundTest, OnlyPlayAndStopWithAQuotedPathAreCommands) {
    const fs::path good = writeWav("good.wav", 1.0, 0);
    const std::string path = good.string();
    const std::vector<std::string> refused{
        "",
        "play",
        "play ",
        "play " + path,
        "play  \"" + path + "\"",
        " play \"" + path + "\"",
        "play \"" + path + "\" ",
        "play \"" + path,
        "play \"\"",
        "play \"a\"b\"",
        "pause \"" + path + "\"",
        "open \"" + path + "\"",
        "playing \"" + path + "\"",
        "stop \"" + path + "\"",  // nothing was opened yet
        std::string("play \"") + path + '\0' + "x\"",
    };
    std::vector<std::string> steps = refused;
    steps.push_back("wait 50");
    ChildRun r = run(steps);
    expectCleanExit(r);
    EXPECT_EQ(r.results(), std::vector<std::string>(refused.size(), "0"));
    EXPECT_FALSE(r.soundFileExists) << "the sound device was opened without a tune to play";

    r = run({"PLAY \"" + path + "\"", "Play \"" + path + "\"", "sToP \"" + path + "\"", "stop \"" + path + "\"",
             "stop \"" + (dir / "other.wav").string() + "\""});
    expectCleanExit(r);
    EXPECT_EQ(r.results(), (std::vector<std::string>{"1", "1", "1", "1", "0"}));
}

TEST_F(SoundTest, WithoutASoundDeviceEverythingFailsQuietly) {
    const fs::path good = writeWav("good.wav", 0.5, 0);
    const fs::path midi = MidiTune;
    // ALSA with no configuration is what a machine without a sound card looks like; it complains on
    // the standard error unless told not to.
    const std::string noAlsaConfig = "ALSA_CONFIG_PATH=" + writeFile("empty.conf", "").string();
    const struct {
        const char* driver;
        std::vector<std::string> environment;
    } cases[] = {{"no-such-driver", {}}, {"alsa", {noAlsaConfig}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.driver);
        const ChildRun r = run({play(good), play(midi), stop(good), play(good)}, c.driver, c.environment);
        expectCleanExit(r);
        EXPECT_EQ(r.results(), (std::vector<std::string>(4, "0")));
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::string_view(argv[1]) == "--commands") return runCommands(argv[2], argc - 3, argv + 3);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
