#pragma once
// Drawing inside a window of another program (a screensaver host's), given by its native id.

#include <QSize>
#include <QWidget>
#include <QWindow>
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

}  // namespace ladoslov
