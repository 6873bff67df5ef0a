// Start-up cost of the screensaver beside two yardsticks, in one run: the same screen painted by one
// window in one pass (one_pass_window_bench) and a minimal Qt full-screen window. For each, the time from
// process start to the first painted frame, and the peak resident memory.
//
//   startup_bench [RUNS]      (needs a display: run it under xvfb-run -a, or set QT_QPA_PLATFORM=offscreen)

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "first_frame_report.h"

namespace {

struct Sample {
    double firstFrameMs = -1;
    double peakRssMb = -1;
};

// Starts the program, reads its first-frame report, lets it run on for `settleMs` (the fill, the first
// clock tick), ends it and takes its peak memory.
Sample measure(const std::string& program, const std::vector<std::string>& args, int settleMs,
               const std::string& workingDir = {}) {
    int pipeFd[2];
    if (pipe(pipeFd) != 0) return {};
    const long long start = monotonicNs();
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(pipeFd[1], STDERR_FILENO);
        close(pipeFd[0]);
        close(pipeFd[1]);
        setenv("LADOSLOV_FIRST_FRAME", "1", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        if (!workingDir.empty() && chdir(workingDir.c_str()) != 0) _exit(126);
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    close(pipeFd[1]);
    Sample s;
    std::string out;
    char buf[512];
    for (ssize_t n; (n = read(pipeFd[0], buf, sizeof buf)) > 0;) {
        out.append(buf, static_cast<std::size_t>(n));
        if (const auto ns = firstFrameNs(out)) {
            s.firstFrameMs = static_cast<double>(*ns - start) / 1e6;
            break;
        }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(settleMs));
    kill(pid, SIGTERM);
    int status = 0;
    rusage usage{};
    while (wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    close(pipeFd[0]);
    s.peakRssMb = static_cast<double>(usage.ru_maxrss) / 1024.0;
    return s;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    const std::filesystem::path dir = std::filesystem::canonical("/proc/self/exe").parent_path();
    const std::string screensaver = (dir / "ladoslov").string();
    const std::string minimal = (dir / "minimal_window_bench").string();
    const std::string onePass = (dir / "one_pass_window_bench").string();
    // Each run of the screensaver needs the single-instance lock for itself.
    const std::string runtime = (std::filesystem::temp_directory_path() / ("ladoslov-bench-" + std::to_string(getpid()))).string();
    std::filesystem::create_directories(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);

    // The screensaver as shipped plays its tune from the folder beside it; run from a folder whose "muz"
    // is empty it plays nothing, which shows what the tune costs.
    const std::string silent = runtime + "/silent";
    std::filesystem::create_directories(silent + "/muz");

    struct Series {
        const char* name;
        std::vector<double> ms, mb;
    } tune{"ladoslov", {}, {}}, noTune{"ladoslov, no tune", {}, {}}, onePassSeries{"one-pass Qt window", {}, {}},
        plain{"minimal Qt window", {}, {}};
    auto add = [](Series& s, const Sample& x) {
        s.ms.push_back(x.firstFrameMs);
        s.mb.push_back(x.peakRssMb);
        return x.firstFrameMs >= 0;
    };
    measure(minimal, {}, 200);  // warm the caches of the libraries all of them use
    for (int i = 0; i < runs; ++i) {
        const bool painted = add(tune, measure(screensaver, {"/s"}, 1500, dir.string())) &&
                             add(noTune, measure(screensaver, {"/s"}, 1500, silent)) &&
                             add(onePassSeries, measure(onePass, {}, 1500, dir.string())) &&
                             add(plain, measure(minimal, {}, 1500));
        if (!painted) {
            std::fprintf(stderr, "startup_bench: a program painted no frame (is there a display?)\n");
            return 1;
        }
    }
    std::filesystem::remove_all(runtime);
    const double ft = median(onePassSeries.ms), mt = median(plain.ms), mm = median(plain.mb);
    std::printf("runs: %d (medians); ratios to the one-pass window (time) and to the minimal window\n", runs);
    std::printf("%-22s %12s %14s %12s %12s %12s\n", "", "first frame", "peak memory", "time/1-pass", "time/min",
                "memory/min");
    for (const Series* s : {&tune, &noTune, &onePassSeries, &plain}) {
        const double t = median(s->ms), m = median(s->mb);
        std::printf("%-22s %9.1f ms %11.1f MB %11.2fx %11.2fx %11.2fx\n", s->name, t, m, t / ft, t / mt, m / mm);
    }
    return 0;
}
