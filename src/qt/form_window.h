#pragma once
// The thin Qt view: one widget that rasterises the core's drawing list over the background and hands the window's input and timer ticks to the core's session, whose updates it
// carries out (screen/session.h says what a front end must do).

#include <QPixmap>
#include <QTimer>
#include <QWidget>
#include <map>
#include <optional>
#include <vector>

#include "screen/form.h"
#include "screen/session.h"

namespace ladoslov {

// Qt's key code as the window's key codes count them (F10 = 121), or 0.
int windowKeyCode(int qtKey);
// Whether a key press gives the window a character (KeyPress) rather than only a key code.
bool producesCharacter(int qtKey, const QString& text);

class FormWindow : public QWidget {
public:
    // screen: the form's screen, which this window is drawn into at its scale.
    FormWindow(Form1& form, DrawnScreen& screen);
    ~FormWindow() override;

    // Carries out what the session says changed since the last call: window, repaints, timers, cursor.
    void sync();
    // Starts the timers of the core; until then none ticks.
    void startTimers();
    // The desktop's point where the form's window origin stands (its monitor's top-left corner).
    void placeAt(QPoint origin) { origin_ = origin; }

    Form1& form() { return session_.form(); }
    FormSession& session() { return session_; }
    double twipsPerPixel() const { return session_.twipsPerPixel(); }
    Twips toTwips(double px) const { return twipsOf(px, twipsPerPixel()); }
    int toPixels(Twips t) const { return nearestPixel(t, twipsPerPixel()); }
    // Where a control is drawn, in the window's pixels.
    QRect rectOf(const Control& c) const { return rectOf(boundsOf(c)); }
    // The visible control under a point of the window; nullptr over the bare window.
    Control* controlAt(QPoint windowPos) const;
    // Where the drag feedback is drawn, if a drag shows it.
    std::optional<QRect> dragGhostRect() const;

protected:
    bool event(QEvent*) override;
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseDoubleClickEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void leaveEvent(QEvent*) override;
    void keyPressEvent(QKeyEvent*) override;
    void keyReleaseEvent(QKeyEvent*) override;
    void closeEvent(QCloseEvent*) override;

private:
    static QRect toQRect(const PixelRect& p);
    QRect rectOf(const TwipsRect& r) const;
    void showCursor(Cursor c);
    const QPixmap& pictureOf(const Image& image);
    // The background, then the core's drawList() rasterised: r is where a drawing is drawn.
    void paintBackground(QPainter& p);
    void paintLabel(QPainter& p, const Drawing& d, const QRect& r) const;
    void paintImage(QPainter& p, const Drawing& d, const QRect& r);

    FormSession session_;
    std::vector<QTimer*> timers_;  // Timer1 … Timer14
    QPixmap stretchedBackground_;  // the background picture at the window's size
    BackgroundKey backgroundKey_;   // what it was made from
    std::map<std::string, QPixmap> pictures_;
    Cursor shown_ = Cursor::Arrow;
    QPoint origin_;
};

}  // namespace ladoslov
