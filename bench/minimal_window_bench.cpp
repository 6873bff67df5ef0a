// The yardstick of the start-up benchmark: the least a Qt program does to cover the screen with one
// borderless, top-most window and paint it once.

#include <QApplication>
#include <QPainter>
#include <QScreen>
#include <QWidget>

#include "qt/first_frame.h"

namespace {
class Plain final : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), QColor(0x60, 0x80, 0xA0)); }
};
}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    Plain window;
    window.setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    window.setGeometry(window.screen()->geometry());  // without a window manager "full screen" does not size it
    ladoslov::FirstFrameReporter::watch(&window);
    window.showFullScreen();
    return QApplication::exec();
}
