#pragma once
// Reports when a window's first frame has been painted: with LADOSLOV_FIRST_FRAME set in the environment,
// prints "first-frame <CLOCK_MONOTONIC ns>" to stderr once the first paint of the window is done.

#include <QEvent>
#include <QObject>
#include <QTimer>
#include <cstdio>
#include <ctime>

namespace ladoslov {

class FirstFrameReporter final : public QObject {
public:
    static void watch(QObject* window) {
        if (qEnvironmentVariableIsSet("LADOSLOV_FIRST_FRAME")) window->installEventFilter(new FirstFrameReporter(window));
    }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            // Runs once the paint event and the flush to the screen that follows it are done.
            QTimer::singleShot(0, this, [] {
                timespec ts{};
                clock_gettime(CLOCK_MONOTONIC, &ts);
                std::fprintf(stderr, "first-frame %lld\n", static_cast<long long>(ts.tv_sec) * 1000000000LL + ts.tv_nsec);
                std::fflush(stderr);
            });
        }
        return QObject::eventFilter(watched, e);
    }

private:
    explicit FirstFrameReporter(QObject* parent) : QObject(parent) {}
    bool seen_ = false;
};

}  // namespace ladoslov
