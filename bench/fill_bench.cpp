// The month fill: (a) how long the twelve months take to fill in on screen, from the first painted
// frame to the last fill tick, with the real view and event loop; (b) what one fill tick costs, in the
// core alone and with the view's sync that follows every tick.
//
//   fill_bench [RUNS]     (uses $DISPLAY when set, the offscreen platform otherwise)

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "qt/headless_desktop.h"
#include "screen/form.h"
#include "qt/form_window.h"

using namespace ladoslov;

namespace {

using Clock = std::chrono::steady_clock;

double median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Every service fixed at Tuesday 8 December 2026, 09:05:07, on a 1024 × 768 screen.
struct BenchServices : HeadlessDesktop {
    explicit BenchServices(double tpp) : HeadlessDesktop(Date{2026, 12, 8}, TimeOfDay{9, 5, 7}, 1024, 768, 1440.0 / tpp) {}
};

// Sees every event the program handles: the first paint of the window and the event whose handling
// ended the last fill.
class WatchingApplication final : public QApplication {
public:
    using QApplication::QApplication;
    QWidget* window = nullptr;
    Form1* form = nullptr;
    Clock::time_point firstFrame{}, lastTick{};
    bool painted = false, done = false;

    bool notify(QObject* receiver, QEvent* e) override {
        const bool isPaint = e->type() == QEvent::Paint && receiver == window;
        const bool result = QApplication::notify(receiver, e);
        if (!form || done) return result;
        if (isPaint && !painted) {
            painted = true;
            firstFrame = Clock::now();
        }
        if (!form->filling()) {
            done = true;
            lastTick = Clock::now();
            QTimer::singleShot(0, this, &QCoreApplication::quit);
        }
        return result;
    }
};

// (a) One start of the window as the program does it; milliseconds from the first frame to the last tick.
double fillOnScreenMs(WatchingApplication& app, double tpp) {
    BenchServices s(tpp);
    Form1 form(s.services);
    FormWindow view(form, s.screen);
    form.Form_Load();
    view.sync();
    app.window = &view;
    app.painted = app.done = false;
    app.form = &form;
    view.show();
    view.startTimers();
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, &app, &QCoreApplication::quit);
    guard.start(5000);
    QApplication::exec();
    app.form = nullptr;
    app.window = nullptr;
    if (!app.done || !app.painted) return -1;
    return std::chrono::duration<double, std::milli>(app.lastTick - app.firstFrame).count();
}

struct TickCost {
    double coreNs = 0, withSyncNs = 0;
    long long ticks = 0;
};

// (b) Every tick of full fills timed one by one, in the core and then with the view's sync.
TickCost tickCost(double tpp, int fills) {
    std::vector<double> core, withSync;
    for (int run = 0; run < fills; ++run) {
        BenchServices s(tpp);
        Form1 form(s.services);
        form.Form_Load();
        std::unique_ptr<FormWindow> view;
        if (run % 2) {
            view = std::make_unique<FormWindow>(form, s.screen);
            view->sync();
        }
        std::vector<double>& into = view ? withSync : core;
        while (form.filling())
            for (int m = 1; m <= 12; ++m) {
                if (!form.timer(m).enabled()) continue;
                const auto t0 = Clock::now();
                form.timerTick(m);
                if (view) view->sync();
                into.push_back(std::chrono::duration<double, std::nano>(Clock::now() - t0).count());
            }
    }
    return {median(core), median(withSync), static_cast<long long>(core.size() + withSync.size())};
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("SDL_AUDIODRIVER", "dummy");
    WatchingApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
    const double tpp = twipsPerPixel();

    std::vector<double> screenMs;
    for (int i = 0; i < runs; ++i) {
        const double ms = fillOnScreenMs(app, tpp);
        if (ms < 0) {
            std::fprintf(stderr, "fill_bench: the window painted no frame or the fill did not end\n");
            return 1;
        }
        screenMs.push_back(ms);
    }
    const TickCost cost = tickCost(tpp, 400);

    std::printf("platform: %s, %d runs\n", qPrintable(QGuiApplication::platformName()), runs);
    std::printf("fill on screen, first frame to last tick: median %.0f ms (min %.0f, max %.0f)\n", median(screenMs),
                *std::min_element(screenMs.begin(), screenMs.end()), *std::max_element(screenMs.begin(), screenMs.end()));
    std::printf("one fill tick, core only:                median %.0f ns\n", cost.coreNs);
    std::printf("one fill tick, with the view's sync:     median %.0f ns\n", cost.withSyncNs);
    std::printf("(%lld ticks timed, 12 months x 37 ticks, February 36, per fill)\n", cost.ticks);
    return 0;
}
