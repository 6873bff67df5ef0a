#include "view/host_embedding.h"

#include <QGuiApplication>
#include <QWindow>

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

}  // namespace ladoslov
