// The screensaver: full screen in a window of its own, or inside a window that a screensaver host hands
// over (hack mode).

#include <QApplication>
#include <QScreen>
#include <QStringList>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "qt/first_frame.h"
#include "qt/form_window.h"
#include "qt/host_embedding.h"
#include "qt/qt_services.h"
#include "sound/sdl_multimedia.h"
#include "qt/termination_signals.h"
#include "screen/form.h"
#include "screen/session.h"
#include "services/fixed_services.h"
#include "services/skip_on_failure.h"
#include "services/traced_multimedia.h"
#include "shell/host_window.h"

#if defined(__SANITIZE_ADDRESS__)
#define LADOSLOV_LEAK_CHECK_AT_EXIT 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define LADOSLOV_LEAK_CHECK_AT_EXIT 1
#endif
#endif

namespace {

using namespace ladoslov;

// The screensaver's window on this desktop: full screen on its own, or inside a host's window.
class Screensaver final : public FrontEnd {
public:
    Screensaver(Form1& form, double twipsPerPixel, WidgetTopMost& topMost)
        : form_(form), tpp_(twipsPerPixel), topMost_(topMost) {}

    // Draws inside the host's window, laid out for its size; rescale turns a new size into the twips per
    // pixel it is drawn at (and tells the services).
    void insideHost(WId host, QSize size, std::function<double(QSize)> rescale) {
        host_ = host;
        hostSize_ = size;
        rescale_ = std::move(rescale);
    }

    void createWindow() override {
        view_ = std::make_unique<FormWindow>(form_, tpp_);
        topMost_.attach(view_.get());
    }

    bool showWindow() override {
        FormWindow& view = *view_;
        view.sync();
        FirstFrameReporter::watch(&view);
        if (host_) {
            hostHandle_ = embedInto(view, host_);
            if (!hostHandle_) return false;
            watcher_ = std::make_unique<HostWindowWatcher>(
                host_, hostSize_,
                [this](QSize px) {
                    view_->setTwipsPerPixel(rescale_(px));
                    view_->session().screenChanged();
                    view_->sync();
                },
                [this] {
                    view_->session().close();
                    view_->sync();
                });
            return true;
        }
        // A monitor's new mode: the window covers the new screen.
        QObject::connect(QGuiApplication::primaryScreen(), &QScreen::geometryChanged, &view, [this] {
            view_->session().screenChanged();
            view_->sync();
        });
        view.showFullScreen();
        view.activateWindow();
        view.setFocus();
        return true;
    }

    void startTimers() override { view_->startTimers(); }
    int runEventLoop() override { return QApplication::exec(); }

private:
    Form1& form_;
    double tpp_;
    WidgetTopMost& topMost_;
    WId host_ = 0;
    QSize hostSize_;
    std::function<double(QSize)> rescale_;
    std::unique_ptr<QWindow> hostHandle_;  // outlives the view, which stands inside it
    std::unique_ptr<FormWindow> view_;
    std::unique_ptr<HostWindowWatcher> watcher_;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    using namespace ladoslov;
    traceSkippedFailuresIfAsked();

    std::vector<std::string> args;
    for (const QString& a : QCoreApplication::arguments().mid(1)) args.push_back(a.toStdString());
    const HostWindow host = hostWindowOf(args, std::getenv("XSCREENSAVER_WINDOW"));
    const bool hackMode = host.kind != HostWindow::Kind::None;
    WId hostId = 0;
    QSize hostSize;
    if (hackMode) {
        hostId = host.kind == HostWindow::Kind::Root ? rootWindowId() : static_cast<WId>(host.id);
        hostSize = foreignWindowSize(hostId);
        // No window to draw into: nothing to show, and no window of its own over the screen either.
        if (hostSize.isEmpty()) return 1;
    }
    const double screenTpp = twipsPerPixel();

    SystemClock clock;
    LocaleFormats regional;
    MersenneRandom random;
    PrimaryScreen primaryScreen;
    // In the host's window the screen is that window, so the layout centres on it; a host's window of
    // another size is drawn at another scale, which the text is measured at too.
    FixedScreen hostScreen(0, 0);
    FontMeasurer measurer(screenTpp);
    const auto scaleToHost = [&](QSize px) {
        const double t = hostTwipsPerPixel(px.width(), px.height(), screenTpp);
        measurer.setTwipsPerPixel(t);
        hostScreen.set(static_cast<Twips>(px.width() * t), static_cast<Twips>(px.height() * t));
        return t;
    };
    const double tpp = hackMode ? scaleToHost(hostSize) : screenTpp;
    LockFileInstanceGuard lock;
    SharedInstance sharedInstance(lock);
    WidgetTopMost topMost;
    NoTopMost insideHost;
    SdlMultimedia multimedia;
    LockHolderMultimedia lockHolderMultimedia(multimedia, sharedInstance);
    // LADOSLOV_TRACE_COMMANDS: every tune command and its outcome on the error output.
    TracedMultimedia tune(hackMode ? static_cast<MultimediaCommands&>(lockHolderMultimedia) : multimedia,
                          std::getenv("LADOSLOV_TRACE_COMMANDS") ? &std::cerr : nullptr);
    DiskFileSystem files;
    JpegPictureLoader pictures;
    DialogMessageBox messageBox;
    EventLoopProcess process;
    std::string commandLine;
    for (const std::string& a : host.rest) commandLine += (commandLine.empty() ? "" : " ") + a;
    Services services{clock,
                      regional,
                      random,
                      hackMode ? static_cast<ScreenInfo&>(hostScreen) : primaryScreen,
                      measurer,
                      hackMode ? static_cast<InstanceGuard&>(sharedInstance) : lock,
                      hackMode ? static_cast<TopMost&>(insideHost) : topMost,
                      tune,
                      files,
                      pictures,
                      messageBox,
                      process,
                      commandLine};

    Form1 form(services);
    // What the host sends to end the program closes it as the window's Unload does.
    TerminationSignals termination([&form] { form.Form_Unload(); });
    Screensaver screensaver(form, tpp, topMost);
    // The layout follows the host's window (a preview that grows), and the program ends with it.
    if (hackMode) screensaver.insideHost(hostId, hostSize, scaleToHost);
    const int exitCode = runScreensaver(form, screensaver);
#ifndef LADOSLOV_LEAK_CHECK_AT_EXIT
    // The host waits for its hack to go before it shows the desktop again. The tune is stopped and
    // nothing is left to write, so the process ends here rather than wait for the sound thread's
    // last buffer and take hundreds of widgets apart. (The sanitizers' leak check needs the teardown.)
    if (hackMode) std::_Exit(exitCode);
#endif
    return exitCode;
}
