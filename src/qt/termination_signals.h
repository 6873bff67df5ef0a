#pragma once
// SIGTERM and SIGINT, which a screensaver host sends to end the program, turned into a call on the event
// loop: the handler only writes a byte into a pipe, and a socket notifier runs the call.

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace ladoslov {

class TerminationSignals final : public QObject {
public:
    // Installs the handlers; onSignal runs on the event loop, once per signal received.
    explicit TerminationSignals(std::function<void()> onSignal);
    ~TerminationSignals() override;
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

private:
    std::function<void()> onSignal_;
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace ladoslov
