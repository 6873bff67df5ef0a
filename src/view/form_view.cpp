#include "view/form_view.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QImageReader>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QStyle>
#include <QtWidgets/qdrawutil.h>
#include <algorithm>
#include <cmath>

#include "view/fonts.h"

// The pictures, icon and cursors live in a static library: register them before the first use.
static void registerResources() { Q_INIT_RESOURCE(ladoslov); }

namespace ladoslov {

namespace {

QColor toQColor(Colour c, const QPalette& palette) {
    if (c == kSystemText) return palette.color(QPalette::ButtonText);
    return QColor(static_cast<int>((c >> 16) & 0xFF), static_cast<int>((c >> 8) & 0xFF), static_cast<int>(c & 0xFF));
}

QCursor toQCursor(Cursor c) {
    static const QCursor a(QPixmap(QStringLiteral(":/cursors/cursor_a.png")), 16, 16);
    static const QCursor b(QPixmap(QStringLiteral(":/cursors/cursor_b.png")), 16, 16);
    switch (c) {
        case Cursor::A:
            return a;
        case Cursor::B:
            return b;
        case Cursor::Arrow:
            break;
    }
    return QCursor(Qt::ArrowCursor);
}

int buttonCode(Qt::MouseButton b) {
    switch (b) {
        case Qt::LeftButton:
            return 1;
        case Qt::RightButton:
            return 2;
        case Qt::MiddleButton:
            return 4;
        default:
            return 0;
    }
}

int shiftCode(Qt::KeyboardModifiers m) {
    return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) | (m & Qt::AltModifier ? 4 : 0);
}

}  // namespace

// One control of the window: a label drawn transparent over the background, or a picture.
class ControlWidget final : public QWidget {
public:
    ControlWidget(FormView& view, Control& c) : QWidget(&view), view_(view), control_(c) {
        setAttribute(Qt::WA_TranslucentBackground);
        setFocusPolicy(Qt::NoFocus);
        if (c.kind() == ControlKind::Image) pixmap_ = QPixmap(QString::fromStdString(static_cast<Image&>(c).picture()));
    }

    Control& control() { return control_; }

    void syncFromControl() {
        if (control_.revision() == revision_) return;
        revision_ = control_.revision();
        setGeometry(view_.toPixels(control_.left()), view_.toPixels(control_.top()),
                    std::max(0, view_.toPixels(control_.width())), std::max(0, view_.toPixels(control_.height())));
        setToolTip(QString::fromStdString(control_.toolTip()));
        setCursor(toQCursor(control_.cursor()));
        setVisible(control_.visible());
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        if (control_.isLabel()) {
            const Label& l = static_cast<const Label&>(control_);
            p.setFont(toQFont(l.font(), viewScale(view_.twipsPerPixel())));
            p.setPen(toQColor(l.foreColour(), palette()));
            const int flags = Qt::AlignLeft | Qt::AlignTop | (l.wordWrap() ? Qt::TextWordWrap : 0);
            p.drawText(rect(), flags, captionToQString(l.caption()));
            if (l.borderStyle() == BorderStyle::FixedSingle) {
                p.setPen(QPen(Qt::black, 1));
                p.setBrush(Qt::NoBrush);
                p.drawRect(rect().adjusted(0, 0, -1, -1));
            }
            return;
        }
        const Image& image = static_cast<const Image&>(control_);
        const int frame = image.sunkenFrame() ? 2 : 0;
        // At its own pixel size, shrunk with the layout of a preview.
        const double scale = viewScale(view_.twipsPerPixel());
        p.setRenderHint(QPainter::SmoothPixmapTransform, scale != 1.0);
        p.drawPixmap(QRectF(frame, frame, pixmap_.width() * scale, pixmap_.height() * scale), pixmap_, QRectF(pixmap_.rect()));
        if (frame) qDrawWinPanel(&p, rect(), palette(), true);
    }

    void mousePressEvent(QMouseEvent* e) override {
        e->accept();
        pressed_ = true;
        Form1& form = view_.form();
        form.mouseDown(control_, buttonCode(e->button()), shiftCode(e->modifiers()), view_.toTwips(e->position().x()),
                       view_.toTwips(e->position().y()));
        dragging_ = control_.kind() == ControlKind::Image && static_cast<Image&>(control_).dragRequested();
        ghostShown_ = false;
        pressPos_ = e->position().toPoint();
        view_.sync();
    }

    void mouseMoveEvent(QMouseEvent* e) override {
        e->accept();
        if (!dragging_) return;
        const QPoint pos = e->position().toPoint();
        if (!ghostShown_ && (pos - pressPos_).manhattanLength() < QApplication::startDragDistance()) return;
        ghostShown_ = true;
        view_.showDragGhost(pixmap_, mapTo(&view_, pos) - pressPos_);
    }

    void mouseReleaseEvent(QMouseEvent* e) override {
        e->accept();
        if (!pressed_) return;
        pressed_ = false;
        Form1& form = view_.form();
        const QPoint windowPos = mapTo(&view_, e->position().toPoint());
        if (dragging_) {
            dragging_ = false;
            Image& image = static_cast<Image&>(control_);
            image.endDrag();
            if (ghostShown_) {
                view_.hideDragGhost();
                // A drop over a control is the control's, and no control handles it; a drop beside
                // the window (another screen) is no drop on it.
                if (!form.ended() && view_.rect().contains(windowPos) && !view_.controlAt(windowPos))
                    form.Form_DragDrop(control_, view_.toTwips(windowPos.x()), view_.toTwips(windowPos.y()));
                view_.sync();
                return;
            }
        }
        if (suppressClick_) {
            suppressClick_ = false;
        } else if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint())) {
            form.click(control_);
        }
        view_.sync();
    }

    void mouseDoubleClickEvent(QMouseEvent* e) override {
        e->accept();
        pressed_ = true;
        suppressClick_ = true;
        if (e->button() == Qt::LeftButton) view_.form().dblClick(control_);
        view_.sync();
    }

private:
    FormView& view_;
    Control& control_;
    QPixmap pixmap_;
    std::uint64_t revision_ = 0;
    bool pressed_ = false;
    bool dragging_ = false;
    bool ghostShown_ = false;
    bool suppressClick_ = false;
    QPoint pressPos_;
};

int windowKeyCode(int qtKey) {
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return 65 + (qtKey - Qt::Key_A);
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return 48 + (qtKey - Qt::Key_0);
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return 112 + (qtKey - Qt::Key_F1);
    switch (qtKey) {
        case Qt::Key_Backspace: return 8;
        case Qt::Key_Tab: return 9;
        case Qt::Key_Return:
        case Qt::Key_Enter: return 13;
        case Qt::Key_Shift: return 16;
        case Qt::Key_Control: return 17;
        case Qt::Key_Alt: return 18;
        case Qt::Key_Pause: return 19;
        case Qt::Key_CapsLock: return 20;
        case Qt::Key_Escape: return 27;
        case Qt::Key_Space: return 32;
        case Qt::Key_PageUp: return 33;
        case Qt::Key_PageDown: return 34;
        case Qt::Key_End: return 35;
        case Qt::Key_Home: return 36;
        case Qt::Key_Left: return 37;
        case Qt::Key_Up: return 38;
        case Qt::Key_Right: return 39;
        case Qt::Key_Down: return 40;
        case Qt::Key_Insert: return 45;
        case Qt::Key_Delete: return 46;
        default: return 0;
    }
}

bool producesCharacter(int qtKey, const QString& text) {
    // Delete carries a DEL character on some platforms, but gives the window no character.
    return !text.isEmpty() && qtKey != Qt::Key_Delete;
}

FormView::FormView(Form1& form, double twipsPerPixel) : form_(form), tpp_(twipsPerPixel) {
    registerResources();
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setWindowTitle(QString::fromStdString(form.caption()));
    setWindowIcon(QIcon(QStringLiteral(":/icons/ladoslov.ico")));
    setAttribute(Qt::WA_AlwaysShowToolTips);
    setFocusPolicy(Qt::StrongFocus);
    for (Control* c : form.inventory().controls()) {
        if (c->kind() == ControlKind::PictureBox) continue;  // hidden; only holds the background picture
        auto* w = new ControlWidget(*this, *c);
        widgets_.push_back(w);
        byControl_[c] = w;
    }
    for (int i = 1; i <= 14; ++i) {
        auto* t = new QTimer(this);
        // The timer service delivers at its own resolution: about one tick per displayed frame.
        t->setTimerType(Qt::PreciseTimer);
        t->setInterval(std::max(form.timer(i).interval(), 16));
        connect(t, &QTimer::timeout, this, [this, i] {
            form_.timerTick(i);
            sync();
        });
        timers_.push_back(t);
        timerRevisions_.push_back(0);
    }
    sync();
}

FormView::~FormView() = default;

int FormView::toPixels(Twips t) const { return static_cast<int>(std::lround(t / tpp_)); }

QWidget* FormView::widgetOf(const Control& c) const {
    auto it = byControl_.find(&c);
    return it == byControl_.end() ? nullptr : it->second;
}

QWidget* FormView::controlAt(QPoint windowPos) const {
    // The drag feedback is transparent for the mouse, so childAt never answers with it.
    for (QWidget* w = childAt(windowPos); w && w != this; w = w->parentWidget())
        if (std::find(widgets_.begin(), widgets_.end(), w) != widgets_.end()) return w;
    return nullptr;
}

// The drag feedback: the picture itself, half transparent, under the pointer.
class DragGhost final : public QWidget {
public:
    explicit DragGhost(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_TranslucentBackground);
    }
    void setPixmap(const QPixmap& p) {
        pixmap_ = p;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setOpacity(0.6);
        p.drawPixmap(0, 0, pixmap_);
    }

private:
    QPixmap pixmap_;
};

void FormView::showDragGhost(const QPixmap& pixmap, QPoint topLeft) {
    if (!ghost_) ghost_ = new DragGhost(this);
    static_cast<DragGhost*>(ghost_)->setPixmap(pixmap);
    ghost_->setGeometry(QRect(topLeft, pixmap.size()));
    ghost_->show();
    ghost_->raise();
}

void FormView::hideDragGhost() {
    if (ghost_) ghost_->hide();
}

void FormView::sync() {
    syncWindow();
    for (ControlWidget* w : widgets_) w->syncFromControl();
    if (form_.inventory().stackingRevision() != stackingRevision_) {
        stackingRevision_ = form_.inventory().stackingRevision();
        for (Control* c : form_.inventory().stackingOrder())
            if (QWidget* w = widgetOf(*c)) w->raise();
    }
    syncTimers();
}

void FormView::syncWindow() {
    if (form_.windowRevision() == windowRevision_ && form_.PctFon.picture() == backgroundSource_) return;
    windowRevision_ = form_.windowRevision();
    if (form_.PctFon.picture() != backgroundSource_) {
        backgroundSource_ = form_.PctFon.picture();
        stretchedBackground_ = QPixmap();
    }
    setGeometry(toPixels(form_.left()), toPixels(form_.top()), toPixels(form_.width()), toPixels(form_.height()));
    update();
}

void FormView::syncTimers() {
    for (int i = 0; i < 14; ++i) {
        const Timer& t = form_.timer(i + 1);
        QTimer* q = timers_[static_cast<std::size_t>(i)];
        const bool run = timersRunning_ && t.enabled() && !form_.ended();
        if (run && !q->isActive()) q->start();
        if (!run && q->isActive()) q->stop();
    }
}

void FormView::startTimers() {
    timersRunning_ = true;
    syncTimers();
}

void FormView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (form_.backgroundPainted() && stretchedBackground_.size() != size()) {
        // Decoded straight to the window's size, once.
        QImageReader reader(QString::fromStdString(backgroundSource_));
        reader.setScaledSize(size());
        stretchedBackground_ = QPixmap::fromImage(reader.read());
    }
    if (form_.backgroundPainted() && !stretchedBackground_.isNull())
        p.drawPixmap(0, 0, stretchedBackground_);
    else
        p.fillRect(rect(), palette().color(QPalette::Button));
}

void FormView::resizeEvent(QResizeEvent*) { stretchedBackground_ = QPixmap(); }

void FormView::mousePressEvent(QMouseEvent* e) {
    e->accept();
    pressedOnWindow_ = true;
}

void FormView::mouseReleaseEvent(QMouseEvent* e) {
    e->accept();
    if (!pressedOnWindow_ || form_.ended()) return;
    pressedOnWindow_ = false;
    if (rect().contains(e->position().toPoint())) form_.Form_Click();
    sync();
}

void FormView::keyPressEvent(QKeyEvent* e) {
    e->accept();
    // Input already queued when the program ended reaches no handler.
    if (form_.ended()) return;
    form_.Form_KeyDown(windowKeyCode(e->key()), shiftCode(e->modifiers()));
    if (producesCharacter(e->key(), e->text())) form_.Form_KeyPress(e->text().toUcs4().value(0));
    sync();
}

void FormView::keyReleaseEvent(QKeyEvent* e) {
    e->accept();
    // Held keys repeat their key-down only.
    if (e->isAutoRepeat() || form_.ended()) return;
    form_.Form_KeyUp(windowKeyCode(e->key()), shiftCode(e->modifiers()));
    sync();
}

void FormView::closeEvent(QCloseEvent* e) {
    form_.Form_Unload();
    e->accept();
}

}  // namespace ladoslov
