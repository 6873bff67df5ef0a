#pragma once
// The thin Qt view: one widget that paints every visible control of Form1 in stacking order over the
// background, repaints only what changed since the last sync, and hands the window's input and timer ticks
// to the core, which also decides what is under the pointer and what the mouse does.

#include <QPixmap>
#include <QTimer>
#include <QWidget>
#include <map>
#include <optional>
#include <vector>

#include "screen/form.h"
#include "screen/pointer.h"

namespace ladoslov {

// Qt's key code as the window's key codes count them (F10 = 121), or 0.
int windowKeyCode(int qtKey);
// Whether a key press gives the window a character (KeyPress) rather than only a key code.
bool producesCharacter(int qtKey, const QString& text);

class FormView : public QWidget {
public:
    // twipsPerPixel: the window's scale; a larger value than the screen's shows the whole design smaller.
    FormView(Form1& form, double twipsPerPixel);
    ~FormView() override;

    // Repaints what changed in the core since the last call and follows its timers.
    void sync();
    // Starts the timers of the core; until then none ticks.
    void startTimers();

    Form1& form() { return form_; }
    double twipsPerPixel() const { return tpp_; }
    // Draws at another scale from now on (the window drawn into has grown or shrunk).
    void setTwipsPerPixel(double twipsPerPixel);
    int toPixels(Twips t) const;
    Twips toTwips(double px) const { return static_cast<Twips>(px * tpp_); }
    // Where a control is drawn, in the window's pixels.
    QRect rectOf(const Control& c) const;
    // The visible control under a point of the window; nullptr over the bare window.
    Control* controlAt(QPoint windowPos) const;
    // Where the drag feedback is drawn, if a drag shows it.
    std::optional<QRect> dragGhostRect() const;

protected:
    bool event(QEvent*) override;
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseDoubleClickEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void leaveEvent(QEvent*) override;
    void keyPressEvent(QKeyEvent*) override;
    void keyReleaseEvent(QKeyEvent*) override;
    void closeEvent(QCloseEvent*) override;

private:
    void syncWindow();
    void syncTimers();
    void pointerAt(QPoint windowPos);
    QRect rectOf(const TwipsRect& r) const;
    QRect pixelsOf(const TwipsRect& r) const;
    const QPixmap& pictureOf(const Image& image);
    void paintLabel(QPainter& p, const Label& l, const QRect& r) const;
    void paintImage(QPainter& p, const Image& image, const QRect& r);
    void updateGhost(const std::optional<PointerInput::Ghost>& before);

    Form1& form_;
    double tpp_;
    ChangeTracker changes_;
    PointerInput pointer_;
    std::vector<QTimer*> timers_;
    bool timersRunning_ = false;
    std::uint64_t windowRevision_ = 0;
    QPixmap stretchedBackground_;  // the background picture at the window's size
    std::string backgroundSource_;
    std::map<std::string, QPixmap> pictures_;
    std::optional<QPoint> pointerPos_;  // the pointer over the window, for its cursor
    Cursor cursor_ = Cursor::Arrow;
};

}  // namespace ladoslov
