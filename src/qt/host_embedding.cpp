#include "qt/host_embedding.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTimer>
#include <QWindow>
#include <utility>

#if QT_CONFIG(xcb)
#include <xcb/xcb.h>

#include <cstdlib>
#endif

namespace ladoslov {

#if QT_CONFIG(xcb)
namespace {

xcb_connection_t* x11Connection() {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

}  // namespace
#endif

QSize foreignWindowSize(WId id) {
#if QT_CONFIG(xcb)
    xcb_connection_t* c = x11Connection();
    if (!c || id == 0) return {};
    xcb_get_geometry_reply_t* g = xcb_get_geometry_reply(c, xcb_get_geometry(c, static_cast<xcb_drawable_t>(id)), nullptr);
    if (!g) return {};
    const QSize size(g->width, g->height);
    std::free(g);
    return size;
#else
    (void)id;
    return {};
#endif
}

WId rootWindowId() {
#if QT_CONFIG(xcb)
    if (xcb_connection_t* c = x11Connection()) return xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
#endif
    return 0;
}

std::unique_ptr<QWindow> embedInto(QWidget& view, WId host) {
    std::unique_ptr<QWindow> parent(QWindow::fromWinId(host));
    if (!parent) return nullptr;
    view.setAttribute(Qt::WA_ShowWithoutActivating);
    view.setFocusPolicy(Qt::NoFocus);
    view.winId();  // creates the native window, to be moved into the host's
    QWindow* own = view.windowHandle();
    own->setFlags(own->flags() | Qt::FramelessWindowHint | Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus);
    own->setParent(parent.get());
    view.move(0, 0);
    view.show();
    return parent;
}

HostWindowWatcher::HostWindowWatcher(WId host, QSize laidOutFor, std::function<void(QSize)> resized,
                                     std::function<void()> gone)
    : host_(host), resized_(std::move(resized)), gone_(std::move(gone)), size_(laidOutFor) {
    bool watching = false;
#if QT_CONFIG(xcb)
    if (xcb_connection_t* c = x11Connection(); c && host) {
        const auto window = static_cast<xcb_window_t>(host);
        // Added to what this client already asks of the window (the toolkit watches the root window too).
        if (xcb_get_window_attributes_reply_t* a = xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr)) {
            const std::uint32_t mask = a->your_event_mask | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
            std::free(a);
            if (xcb_generic_error_t* e = xcb_request_check(c, xcb_change_window_attributes_checked(c, window, XCB_CW_EVENT_MASK, &mask)))
                std::free(e);
            else
                watching = true;
        }
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
#endif
    // What happened before the events were asked for is not reported by the server.
    const QSize now = foreignWindowSize(host);
    if (!watching || now.isEmpty())
        QTimer::singleShot(0, this, [this] { gone_(); });
    else
        report(now);
}

HostWindowWatcher::~HostWindowWatcher() {
    if (QCoreApplication* app = QCoreApplication::instance()) app->removeNativeEventFilter(this);
}

bool HostWindowWatcher::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
#if QT_CONFIG(xcb)
    if (eventType != "xcb_generic_event_t") return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    switch (event->response_type & 0x7F) {
        case XCB_CONFIGURE_NOTIFY: {
            const auto* e = static_cast<const xcb_configure_notify_event_t*>(message);
            if (e->window == host_) report(QSize(e->width, e->height));
            break;
        }
        case XCB_DESTROY_NOTIFY:
            if (static_cast<const xcb_destroy_notify_event_t*>(message)->window == host_) gone_();
            break;
        default:
            break;
    }
#else
    (void)eventType;
    (void)message;
#endif
    return false;  // the toolkit sees every event as before
}

void HostWindowWatcher::report(QSize size) {
    if (size == size_ && !pending_) return;
    size_ = size;
    if (pending_) return;
    pending_ = true;
    QTimer::singleShot(0, this, [this] {
        pending_ = false;
        resized_(size_);
    });
}

}  // namespace ladoslov
