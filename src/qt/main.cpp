// The screensaver: full screen on every monitor in windows of its own, or inside a window that a
// screensaver host hands over (hack mode).

#include <QApplication>
#include <QScreen>
#include <QStringList>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>
#include <utility>
#include <string>
#include <vector>

#include "qt/first_frame.h"
#include "qt/form_window.h"
#include "qt/host_embedding.h"
#include "qt/qt_services.h"
#include "sound/sdl_multimedia.h"
#include "qt/termination_signals.h"
#include "screen/form.h"
#include "screen/monitors.h"
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

double dpiOf(const QScreen* s) { return s ? s->logicalDotsPerInchX() : 96.0; }

// The screens, the primary's first.
QList<QScreen*> monitors() {
    QList<QScreen*> all = QGuiApplication::screens();
    all.removeOne(QGuiApplication::primaryScreen());
    all.prepend(QGuiApplication::primaryScreen());
    return all;
}

// The screensaver's windows on this desktop: one on every monitor, or one inside a host's window.
class Screensaver final : public FrontEnd {
public:
    Screensaver(Form1& primary, DrawnScreen& screen, WidgetTopMost& topMost) { add(primary, screen, topMost); }

    // A monitor beside the primary, with a form of its own.
    void add(Form1& form, DrawnScreen& screen, WidgetTopMost& topMost) { windows_.push_back({&form, &screen, &topMost, {}}); }
    // Draws inside the host's window of this size instead.
    void insideHost(WId host, QSize size) {
        host_ = host;
        hostSize_ = size;
    }
    // What the host or a signal ends: the program, through the primary's session.
    void close() {
        if (FormWindow* v = primaryView()) {
            v->session().close();
            v->session().settle();
        }
    }

    void createWindows() override {
        const QList<QScreen*> screens = monitors();
        for (std::size_t i = 0; i < windows_.size(); ++i) {
            Window& w = windows_[i];
            w.view = std::make_unique<FormWindow>(*w.form, *w.screen);
            w.topMost->attach(w.view.get());
            group_.join(w.view->session());
            const QScreen* s = i < static_cast<std::size_t>(screens.size()) ? screens[static_cast<qsizetype>(i)] : nullptr;
            if (host_) {
                w.view->session().reshape(hostSize_.width(), hostSize_.height(), dpiOf(s));
            } else if (s) {
                w.view->placeAt(s->geometry().topLeft());
                w.view->session().reshape(s->geometry().width(), s->geometry().height(), dpiOf(s));
            }
        }
    }

    bool showWindows() override {
        for (Window& w : windows_) w.view->sync();
        FirstFrameReporter::watch(primaryView());
        if (host_) return showInHost();
        const QList<QScreen*> screens = monitors();
        for (std::size_t i = 0; i < windows_.size(); ++i) {
            FormWindow& view = *windows_[i].view;
            QScreen* s = screens.value(static_cast<qsizetype>(i));
            // A monitor's new mode: its window covers the new screen.
            if (s)
                QObject::connect(s, &QScreen::geometryChanged, &view, [&view, s] {
                    view.placeAt(s->geometry().topLeft());
                    view.session().reshape(s->geometry().width(), s->geometry().height(), dpiOf(s));
                    view.session().settle();
                });
            view.showFullScreen();
        }
        primaryView()->activateWindow();
        primaryView()->setFocus();
        return true;
    }

    void startTimers() override {
        for (Window& w : windows_) w.view->startTimers();
    }
    int runEventLoop() override { return QApplication::exec(); }

private:
    struct Window {
        Form1* form;
        DrawnScreen* screen;
        WidgetTopMost* topMost;
        std::unique_ptr<FormWindow> view;
    };
    FormWindow* primaryView() { return windows_.front().view.get(); }

    bool showInHost() {
        FormWindow& view = *primaryView();
        hostHandle_ = embedInto(view, host_);
        if (!hostHandle_) return false;
        // The layout follows the host's window (a preview that grows), and the program ends with it.
        watcher_ = std::make_unique<HostWindowWatcher>(
            host_, hostSize_,
            [this](QSize px) {
                FormSession& s = primaryView()->session();
                s.reshape(px.width(), px.height(), dpiOf(QGuiApplication::primaryScreen()));
                s.settle();
            },
            [this] { close(); });
        return true;
    }

    WId host_ = 0;
    QSize hostSize_;
    std::unique_ptr<QWindow> hostHandle_;  // outlives the view, which stands inside it
    std::vector<Window> windows_;
    SessionGroup group_;
    std::unique_ptr<HostWindowWatcher> watcher_;
};

// The platform's services of the primary form; inside a host's window the tune is played by the copy
// that holds the lock, and no window is put over the screen.
class Platform {
public:
    Platform(bool hackMode, std::string commandLine)
        : sharedInstance_(lock_),
          lockHolderMultimedia_(multimedia_, sharedInstance_),
          // LADOSLOV_TRACE_COMMANDS: every tune command and its outcome on the error output.
          tune_(hackMode ? static_cast<MultimediaCommands&>(lockHolderMultimedia_) : multimedia_,
                std::getenv("LADOSLOV_TRACE_COMMANDS") ? &std::cerr : nullptr),
          services_{clock_,
                    regional_,
                    random_,
                    screen_,
                    measurer_,
                    hackMode ? static_cast<InstanceGuard&>(sharedInstance_) : lock_,
                    hackMode ? static_cast<TopMost&>(insideHost_) : topMost_,
                    tune_,
                    files_,
                    pictures_,
                    messageBox_,
                    process_,
                    std::move(commandLine),
                    hackMode} {}

    Services& services() { return services_; }
    DrawnScreen& screen() { return screen_; }
    WidgetTopMost& topMost() { return topMost_; }

private:
    SystemClock clock_;
    LocaleFormats regional_;
    MersenneRandom random_;
    FontMeasurer measurer_;
    DrawnScreen screen_{measurer_};
    LockFileInstanceGuard lock_;
    SharedInstance sharedInstance_;
    WidgetTopMost topMost_;
    NoTopMost insideHost_;
    SdlMultimedia multimedia_;
    LockHolderMultimedia lockHolderMultimedia_;
    TracedMultimedia tune_;
    DiskFileSystem files_;
    JpegPictureLoader pictures_;
    DialogMessageBox messageBox_;
    EventLoopProcess process_;
    Services services_;
};

// Every monitor's form beside the primary, and the program's run.
int runOnEveryMonitor(Platform& platform, std::optional<std::pair<WId, QSize>> host) {
    Services& services = platform.services();
    Form1 form(services);
    // A host runs one copy per monitor itself; on its own the screensaver covers every monitor.
    std::vector<std::unique_ptr<MonitorForm>> others;
    for (qsizetype i = 1; !host && i < QGuiApplication::screens().size(); ++i)
        others.push_back(std::make_unique<MonitorForm>(services, std::make_unique<FontMeasurer>(), std::make_unique<WidgetTopMost>()));
    Screensaver screensaver(form, platform.screen(), platform.topMost());
    std::vector<Form1*> forms{&form};
    for (const auto& other : others) {
        screensaver.add(other->form(), other->screen(), static_cast<WidgetTopMost&>(other->topMost()));
        forms.push_back(&other->form());
    }
    if (host) screensaver.insideHost(host->first, host->second);
    // What the host sends to end the program closes it as the window's Unload does.
    TerminationSignals termination([&screensaver] { screensaver.close(); });
    return runScreensaver(forms, screensaver);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    using namespace ladoslov;
    traceSkippedFailuresIfAsked();

    std::vector<std::string> args;
    for (const QString& a : QCoreApplication::arguments().mid(1)) args.push_back(a.toStdString());
    const HostWindow host = hostWindowOf(args, std::getenv("XSCREENSAVER_WINDOW"));
    const bool hackMode = host.kind != HostWindow::Kind::None;
    std::optional<std::pair<WId, QSize>> hostWindow;
    if (hackMode) {
        const WId hostId = host.kind == HostWindow::Kind::Root ? rootWindowId() : static_cast<WId>(host.id);
        hostWindow.emplace(hostId, foreignWindowSize(hostId));
        // No window to draw into: nothing to show, and no window of its own over the screen either.
        if (hostWindow->second.isEmpty()) return 1;
    }
    std::string commandLine;
    for (const std::string& a : host.rest) commandLine += (commandLine.empty() ? "" : " ") + a;
    Platform platform(hackMode, commandLine);
    const int exitCode = runOnEveryMonitor(platform, hostWindow);
#ifndef LADOSLOV_LEAK_CHECK_AT_EXIT
    // The host waits for its hack to go before it shows the desktop again. The tune is stopped and
    // nothing is left to write, so the process ends here rather than wait for the sound thread's
    // last buffer and take hundreds of widgets apart. (The sanitizers' leak check needs the teardown.)
    if (hackMode) std::_Exit(exitCode);
#endif
    return exitCode;
}
