#pragma once
// Drawing inside a window of another program (a screensaver host's), given by its native id.

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QSize>
#include <QWidget>
#include <QWindow>
#include <functional>
#include <memory>

namespace ladoslov {

// The size in pixels of another program's window; empty when no such window exists.
QSize foreignWindowSize(WId id);

// The root window of the default X11 screen, or 0 where there is none.
WId rootWindowId();

// Makes the view a child of the host's window at its top-left corner and shows it there: no frame, no
// keyboard focus and no input of its own, so the host keeps the keyboard and the mouse. The view's size
// follows the window it mirrors, which the caller sizes to the host's window. The handle returned stands
// for the host's window and must outlive the view; nullptr when there is no such window.
std::unique_ptr<QWindow> embedInto(QWidget& view, WId host);

// Follows another program's window as the X server reports it: resized runs with its new size once the
// events of a burst are in (a dragged dialog sends many), gone once it is destroyed. laidOutFor is the size
// the caller has drawn for: a window resized or destroyed before the watch began is reported too.
class HostWindowWatcher final : public QObject, public QAbstractNativeEventFilter {
public:
    HostWindowWatcher(WId host, QSize laidOutFor, std::function<void(QSize)> resized, std::function<void()> gone);
    ~HostWindowWatcher() override;
    HostWindowWatcher(const HostWindowWatcher&) = delete;
    HostWindowWatcher& operator=(const HostWindowWatcher&) = delete;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    void report(QSize size);

    WId host_;
    std::function<void(QSize)> resized_;
    std::function<void()> gone_;
    QSize size_;
    bool pending_ = false;
};

}  // namespace ladoslov
