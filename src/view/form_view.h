#pragma once
// The thin Qt view: one widget per control of Form1, mirrored from the core after every event, and the
// window's input and timer ticks forwarded to the core's handlers.

#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <map>
#include <vector>

#include "screen/form.h"

namespace ladoslov {

class ControlWidget;

// Qt's key code as the window's key codes count them (F10 = 121), or 0.
int windowKeyCode(int qtKey);
// Whether a key press gives the window a character (KeyPress) rather than only a key code.
bool producesCharacter(int qtKey, const QString& text);

class FormView : public QWidget {
public:
    FormView(Form1& form, double twipsPerPixel);
    ~FormView() override;

    // Mirrors every property that changed since the last call.
    void sync();
    // Starts the timers of the core; until then none ticks.
    void startTimers();

    Form1& form() { return form_; }
    double twipsPerPixel() const { return tpp_; }
    int toPixels(Twips t) const;
    Twips toTwips(double px) const { return static_cast<Twips>(px * tpp_); }
    QWidget* widgetOf(const Control& c) const;
    // The widget of the visible control under a point of the window; nullptr over the bare window.
    QWidget* controlAt(QPoint windowPos) const;
    void showDragGhost(const QPixmap& pixmap, QPoint topLeft);
    void hideDragGhost();

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void mouseDoubleClickEvent(QMouseEvent*) override;
    void keyPressEvent(QKeyEvent*) override;
    void keyReleaseEvent(QKeyEvent*) override;
    void closeEvent(QCloseEvent*) override;

private:
    void syncWindow();
    void syncTimers();

    Form1& form_;
    double tpp_;
    std::vector<ControlWidget*> widgets_;
    std::map<const Control*, ControlWidget*> byControl_;
    std::vector<QTimer*> timers_;
    std::vector<std::uint64_t> timerRevisions_;
    bool timersRunning_ = false;
    std::uint64_t windowRevision_ = 0;
    std::uint64_t stackingRevision_ = 0;
    QPixmap stretchedBackground_;  // the background picture at the window's size
    std::string backgroundSource_;
    bool pressedOnWindow_ = false;
    QWidget* ghost_ = nullptr;
};

}  // namespace ladoslov
