// What the screensaver costs while it only shows the time, beside a minimal Qt full-screen window and an
// idle xclock: CPU time as a share of one core, wake-ups per second and resident memory, after the fill.
//
//   idle_bench [SECONDS] [--no-after-tune]
//
// SECONDS is the measurement window (default 60). The programs run at the same time, each on an Xvfb of
// its own (1024 x 768 x 24, started here), so they meet the same load from the rest of the machine and
// the X server's share of each can be told apart: the screensaver with its tune, twice (measured
// while the tune plays, from 5 s after the first frame, and once it is over, from 85 s; the second
// makes the run 80 s longer and --no-after-tune leaves it out), the screensaver run from a folder whose
// muz/ is empty, the one-pass and the minimal window of startup_bench, and `xclock -update 1`.
//
// Each window samples /proc once a second. Its CPU figure is utime + stime of /proc/PID/stat (all
// threads); the per-second median and spread, and the X server's share, come from the threads' run time
// in /proc/PID/task/*/schedstat, which counts in nanoseconds where stat counts in 10 ms ticks. A wake-up
// is a context switch of any thread, voluntary or not (/proc/PID/task/*/status): a busy machine adds
// preemptions. SDL_AUDIODRIVER is "dummy" unless set: SDL's dummy driver still runs the mixing thread
// in real time, calling the mixer (and so the decoder) for one buffer and then sleeping as long as the
// buffer would play, so the tune costs what it costs on a sound card.

#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "first_frame_report.h"

namespace fs = std::filesystem;

namespace {

constexpr double kSettleS = 5;       // the fill takes under a second
constexpr double kTuneOverS = 85;    // the shipped tune (tools/tune) lasts 79 s and plays once
constexpr double kStartTimeoutS = 30;

double monotonicS() { return static_cast<double>(monotonicNs()) / 1e9; }

std::string readFile(const fs::path& path) {
    std::ifstream in(path);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// utime + stime of the whole process, in seconds.
double cpuSeconds(pid_t pid) {
    const std::string stat = readFile("/proc/" + std::to_string(pid) + "/stat");
    const auto end = stat.rfind(')');
    if (end == std::string::npos) return -1;
    std::istringstream fields(stat.substr(end + 2));  // from field 3, the state
    std::string field;
    unsigned long long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i == 14) utime = std::stoull(field);
        if (i == 15) stime = std::stoull(field);
    }
    return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// A "Name: value kB" line of a status file, or 0.
long long statusValue(const std::string& status, const std::string& name) {
    const auto at = status.find(name + ":");
    return at == std::string::npos ? 0 : std::atoll(status.c_str() + at + name.size() + 1);
}

struct ThreadCounters {
    std::string name;
    long long runNs = 0;
    long long switches = 0;
};

std::map<int, ThreadCounters> threadsOf(pid_t pid) {
    std::map<int, ThreadCounters> threads;
    std::error_code ec;
    for (const fs::directory_entry& task : fs::directory_iterator("/proc/" + std::to_string(pid) + "/task", ec)) {
        ThreadCounters t;
        t.name = readFile(task.path() / "comm");
        if (!t.name.empty() && t.name.back() == '\n') t.name.pop_back();
        const std::string schedstat = readFile(task.path() / "schedstat");
        const std::string status = readFile(task.path() / "status");
        // A thread that ended while it was read would count as a negative difference.
        if (schedstat.empty() || status.empty()) continue;
        t.runNs = std::atoll(schedstat.c_str());
        t.switches = statusValue(status, "voluntary_ctxt_switches") + statusValue(status, "nonvoluntary_ctxt_switches");
        threads[std::atoi(task.path().filename().c_str())] = t;
    }
    return threads;
}

// The run time of every live thread, in seconds.
double runSeconds(pid_t pid) {
    long long ns = 0;
    for (const auto& [tid, t] : threadsOf(pid)) ns += t.runNs;
    return static_cast<double>(ns) / 1e9;
}

struct Program {
    Program(std::string n, std::string p, std::vector<std::string> a, std::string dir, double settle, bool reports = true)
        : name(std::move(n)), path(std::move(p)), args(std::move(a)), workingDir(std::move(dir)), settleS(settle),
          reportsFirstFrame(reports) {}
    std::string name;
    std::string path;
    std::vector<std::string> args;
    std::string workingDir;  // empty: the bench's own
    double settleS;          // from the first frame to the window
    bool reportsFirstFrame;

    pid_t xvfb = -1, pid = -1;
    std::string display, runtimeDir, errFile;
    double firstFrame = -1;  // CLOCK_MONOTONIC seconds
    // The window's measurements.
    int samples = 0;
    double t0 = 0, cpu0 = 0, xcpu0 = 0, lastT = 0;
    std::map<int, ThreadCounters> last;
    std::map<std::string, long long> threadNs;  // run time over the window by thread name
    std::vector<double> cpuPerSecond, wakeupsPerSecond;
    double cpuPercent = 0, xServerPercent = 0, wakeupsPerS = 0, rssMb = 0, hwmMb = 0;
};

// Forks and runs `argv` with the environment given; the child dies with the bench.
pid_t spawn(const std::vector<std::string>& argv, const std::vector<std::pair<std::string, std::string>>& env,
            const std::string& workingDir, const std::string& errFile, int keepFd = -1) {
    const pid_t pid = fork();
    if (pid != 0) return pid;
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    for (const auto& [name, value] : env) setenv(name.c_str(), value.c_str(), 1);
    if (!workingDir.empty() && chdir(workingDir.c_str()) != 0) _exit(126);
    if (!errFile.empty()) {
        if (std::FILE* f = std::fopen(errFile.c_str(), "w")) dup2(fileno(f), STDERR_FILENO);
    }
    for (int fd = 3; fd < 256; ++fd)
        if (fd != keepFd) close(fd);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
}

// An Xvfb on the first free display; its number, or "" when none started.
std::string startXvfb(pid_t& pid) {
    int fds[2];
    if (pipe(fds) != 0) return {};
    pid = spawn({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
                 "-noreset"},
                {}, {}, "/dev/null", fds[1]);
    close(fds[1]);
    std::string number;
    char c;
    while (read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    close(fds[0]);
    return number.empty() ? std::string() : ":" + number;
}

void stop(pid_t& pid) {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    pid = -1;
}

// Reaps the program if it has ended, and tells how.
bool alive(pid_t& pid, int& status) {
    if (pid <= 0) return false;
    if (waitpid(pid, &status, WNOHANG) == 0) return true;
    pid = -1;
    return false;
}

void sample(Program& p, bool first) {
    const double now = monotonicS();
    std::map<int, ThreadCounters> threads = threadsOf(p.pid);
    if (!first) {
        // Threads seen in both samples count their difference, new ones all they did.
        long long ns = 0, switches = 0;
        for (const auto& [tid, t] : threads) {
            const auto before = p.last.find(tid);
            const long long dNs = t.runNs - (before == p.last.end() ? 0 : before->second.runNs);
            switches += t.switches - (before == p.last.end() ? 0 : before->second.switches);
            ns += dNs;
            p.threadNs[t.name] += dNs;
        }
        const double dt = now - p.lastT;
        p.cpuPerSecond.push_back(100.0 * static_cast<double>(ns) / 1e9 / dt);
        p.wakeupsPerSecond.push_back(static_cast<double>(switches) / dt);
    }
    p.last = std::move(threads);
    p.lastT = now;
}

// The window's end: the whole-window figures and the memory.
void finish(Program& p) {
    const double dt = monotonicS() - p.t0;
    p.cpuPercent = 100.0 * (cpuSeconds(p.pid) - p.cpu0) / dt;
    p.xServerPercent = 100.0 * (runSeconds(p.xvfb) - p.xcpu0) / dt;
    double total = 0;
    for (double w : p.wakeupsPerSecond) total += w;
    p.wakeupsPerS = total / static_cast<double>(p.wakeupsPerSecond.size());
    const std::string status = readFile("/proc/" + std::to_string(p.pid) + "/status");
    p.rssMb = static_cast<double>(statusValue(status, "VmRSS")) / 1024.0;
    p.hwmMb = static_cast<double>(statusValue(status, "VmHWM")) / 1024.0;
}

double percentile(std::vector<double> v, double q) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[static_cast<std::size_t>(q * static_cast<double>(v.size() - 1) + 0.5)];
}

std::string spread(const std::vector<double>& v, const char* format) {
    char text[96];
    std::snprintf(text, sizeof text, format, percentile(v, 0.5), percentile(v, 0.0), percentile(v, 1.0));
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::max(2, std::atoi(argv[1])) : 60;
    const bool afterTune = !(argc > 2 && std::string(argv[2]) == "--no-after-tune");
    const fs::path dir = fs::canonical("/proc/self/exe").parent_path();
    const fs::path scratch = fs::temp_directory_path() / ("ladoslov-idle-" + std::to_string(getpid()));
    fs::create_directories(scratch / "silent" / "muz");  // run from here the screensaver finds no tune

    const std::string screensaver = (dir / "ladoslov").string();
    std::vector<Program> programs{
        {"ladoslov, tune playing", screensaver, {"/s"}, dir.string(), kSettleS},
        {"ladoslov, tune over", screensaver, {"/s"}, dir.string(), kTuneOverS},
        {"ladoslov, no tune", screensaver, {"/s"}, (scratch / "silent").string(), kSettleS},
        {"one-pass Qt window", (dir / "one_pass_window_bench").string(), {}, dir.string(), kSettleS},
        {"minimal Qt window", (dir / "minimal_window_bench").string(), {}, {}, kSettleS},
        {"xclock -update 1", "xclock", {"-update", "1"}, {}, kSettleS, false},
    };
    if (!afterTune) programs.erase(programs.begin() + 1);
    auto cleanUp = [&] {
        for (Program& p : programs) {
            stop(p.pid);
            stop(p.xvfb);
        }
        fs::remove_all(scratch);
    };
    const char* audio = std::getenv("SDL_AUDIODRIVER");
    const std::string audioDriver = audio && *audio ? audio : "dummy";
    for (std::size_t i = 0; i < programs.size(); ++i) {
        Program& p = programs[i];
        p.display = startXvfb(p.xvfb);
        if (p.display.empty()) {
            std::fprintf(stderr, "idle_bench: could not start Xvfb (is it installed?)\n");
            cleanUp();
            return 1;
        }
        // Each screensaver holds its single-instance lock in a runtime folder of its own.
        p.runtimeDir = (scratch / ("run" + std::to_string(i))).string();
        fs::create_directories(p.runtimeDir);
        fs::permissions(p.runtimeDir, fs::perms::owner_all);
        p.errFile = p.runtimeDir + "/stderr";
        std::vector<std::string> command{p.path};
        command.insert(command.end(), p.args.begin(), p.args.end());
        if (!p.reportsFirstFrame) p.firstFrame = monotonicS();
        p.pid = spawn(command,
                      {{"DISPLAY", p.display}, {"XDG_RUNTIME_DIR", p.runtimeDir}, {"LADOSLOV_FIRST_FRAME", "1"},
                       {"SDL_AUDIODRIVER", audioDriver}, {"QT_QPA_PLATFORM", "xcb"}},
                      p.workingDir, p.errFile);
    }

    // Each program's window opens `settleS` after its first frame and takes a sample every second.
    bool failed = false;
    for (const double start = monotonicS(); !failed;) {
        const double now = monotonicS();
        double next = now + 1;  // looks for an early end at least once a second
        bool done = true;
        for (Program& p : programs) {
            if (p.firstFrame < 0) {
                if (const auto ns = firstFrameNs(readFile(p.errFile)))
                    p.firstFrame = static_cast<double>(*ns) / 1e9;
                else
                    next = now + 0.02;
                if (p.firstFrame < 0 && now - start > kStartTimeoutS) {
                    std::fprintf(stderr, "idle_bench: %s painted no frame within %.0f s\n", p.name.c_str(), kStartTimeoutS);
                    failed = true;
                }
            }
            if (int status = 0; !alive(p.pid, status)) {
                const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
                std::fprintf(stderr, "idle_bench: %s ended early, status %d%s\n%s", p.name.c_str(), code,
                             code == 127 ? " (not found: build it, or install x11-apps for xclock)" : "",
                             readFile(p.errFile).c_str());
                failed = true;
            }
            if (p.samples > seconds) continue;
            done = false;
            if (p.firstFrame < 0) continue;
            const double due = p.firstFrame + p.settleS + p.samples;
            if (now >= due) {
                if (p.samples == 0) {
                    p.t0 = now;
                    p.cpu0 = cpuSeconds(p.pid);
                    p.xcpu0 = runSeconds(p.xvfb);
                }
                sample(p, p.samples == 0);
                if (++p.samples > seconds) finish(p);
            }
            next = std::min(next, now >= due ? due + 1 : due);
        }
        if (done) break;
        std::this_thread::sleep_for(std::chrono::duration<double>(std::max(0.0, next - monotonicS())));
    }
    cleanUp();
    if (failed) return 1;

    std::printf("window: %d s, from %.0f s after the first frame (\"tune over\": %.0f s); SDL_AUDIODRIVER=%s\n", seconds,
                kSettleS, kTuneOverS, audioDriver.c_str());
    std::printf("CPU: share of one core over the window; per second: median (min-max) of the window's seconds\n\n");
    std::printf("%-24s %7s %22s %8s %22s %8s %8s %7s\n", "", "CPU", "CPU per second", "wake/s", "wake-ups per second",
                "RSS", "VmHWM", "Xvfb");
    for (const Program& p : programs)
        std::printf("%-24s %6.2f%% %22s %8.1f %22s %5.1f MB %5.1f MB %6.2f%%\n", p.name.c_str(), p.cpuPercent,
                    spread(p.cpuPerSecond, "%.2f%% (%.2f-%.2f)").c_str(), p.wakeupsPerS,
                    spread(p.wakeupsPerSecond, "%.1f (%.1f-%.1f)").c_str(), p.rssMb, p.hwmMb, p.xServerPercent);
    std::printf("\nCPU by thread over the window:\n");
    for (const Program& p : programs) {
        long long total = 0;
        for (const auto& [name, ns] : p.threadNs) total += ns;
        std::vector<std::pair<long long, std::string>> byTime;
        for (const auto& [name, ns] : p.threadNs) byTime.emplace_back(ns, name);
        std::sort(byTime.rbegin(), byTime.rend());
        std::printf("  %-24s", p.name.c_str());
        for (std::size_t i = 0; i < std::min<std::size_t>(3, byTime.size()); ++i)
            std::printf("  %s %.0f%%", byTime[i].second.c_str(),
                        total ? 100.0 * static_cast<double>(byTime[i].first) / static_cast<double>(total) : 0.0);
        std::printf("\n");
    }
    return 0;
}
