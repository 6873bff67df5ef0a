#include "view/form_view.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QHelpEvent>
#include <QImageReader>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPalette>
#include <QToolTip>
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
            return kLeftButton;
        case Qt::RightButton:
            return kRightButton;
        case Qt::MiddleButton:
            return kMiddleButton;
        default:
            return 0;
    }
}

int shiftCode(Qt::KeyboardModifiers m) {
    return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) | (m & Qt::AltModifier ? 4 : 0);
}

}  // namespace

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

FormView::FormView(Form1& form, double twipsPerPixel)
    : form_(form), tpp_(twipsPerPixel), changes_(form), pointer_(form) {
    registerResources();
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setWindowTitle(QString::fromStdString(form.caption()));
    setWindowIcon(QIcon(QStringLiteral(":/icons/ladoslov.ico")));
    setAttribute(Qt::WA_AlwaysShowToolTips);
    // Every pixel is painted, the background first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    // The cursor follows the control under the pointer, pressed or not.
    setMouseTracking(true);
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
    }
    sync();
}

FormView::~FormView() = default;

void FormView::setTwipsPerPixel(double twipsPerPixel) {
    if (twipsPerPixel == tpp_) return;
    tpp_ = twipsPerPixel;
    update();
}

int FormView::toPixels(Twips t) const { return static_cast<int>(std::lround(t / tpp_)); }

QRect FormView::rectOf(const Control& c) const { return rectOf(boundsOf(c)); }

QRect FormView::rectOf(const TwipsRect& r) const {
    return QRect(toPixels(r.left), toPixels(r.top), std::max(0, toPixels(r.width)), std::max(0, toPixels(r.height)));
}

QRect FormView::pixelsOf(const TwipsRect& r) const {
    // Rounded outwards and one pixel more, so that it covers whatever rectOf() made of the same bounds.
    const int left = static_cast<int>(std::floor(r.left / tpp_)) - 1;
    const int top = static_cast<int>(std::floor(r.top / tpp_)) - 1;
    const int right = static_cast<int>(std::ceil((r.left + r.width) / tpp_)) + 1;
    const int bottom = static_cast<int>(std::ceil((r.top + r.height) / tpp_)) + 1;
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

Control* FormView::controlAt(QPoint windowPos) const {
    return ladoslov::controlAt(form_, toTwips(windowPos.x()), toTwips(windowPos.y()));
}

std::optional<QRect> FormView::dragGhostRect() const {
    const std::optional<PointerInput::Ghost> g = pointer_.ghost();
    if (!g) return std::nullopt;
    return rectOf(g->bounds);
}

void FormView::sync() {
    syncWindow();
    const ChangeTracker::Changes changes = changes_.take();
    if (changes.whole)
        update();
    else
        for (const TwipsRect& r : changes.areas) update(pixelsOf(r));
    // A control that appeared, went or moved under a resting pointer changes its cursor.
    if (pointerPos_ && changes.any()) pointerAt(*pointerPos_);
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

const QPixmap& FormView::pictureOf(const Image& image) {
    auto it = pictures_.find(image.picture());
    if (it == pictures_.end())
        it = pictures_.emplace(image.picture(), QPixmap(QString::fromStdString(image.picture()))).first;
    return it->second;
}

void FormView::paintLabel(QPainter& p, const Label& l, const QRect& r) const {
    p.setFont(toQFont(l.font(), viewScale(tpp_)));
    p.setPen(toQColor(l.foreColour(), palette()));
    const int flags = Qt::AlignLeft | Qt::AlignTop | (l.wordWrap() ? Qt::TextWordWrap : 0);
    p.drawText(r, flags, captionToQString(l.caption()));
    if (l.borderStyle() == BorderStyle::FixedSingle) {
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(r.adjusted(0, 0, -1, -1));
    }
}

void FormView::paintImage(QPainter& p, const Image& image, const QRect& r) {
    // At its own pixel size, shrunk with the layout of a preview.
    const double scale = viewScale(tpp_);
    const QPixmap& pixmap = pictureOf(image);
    const int frame = image.sunkenFrame() ? 2 : 0;
    p.save();
    p.translate(r.topLeft());
    if (scale != 1.0) {
        p.scale(scale, scale);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
    }
    p.drawPixmap(frame, frame, pixmap);
    if (frame) qDrawWinPanel(&p, QRect(0, 0, pixmap.width() + 2 * frame, pixmap.height() + 2 * frame), palette(), true);
    p.restore();
}

void FormView::paintEvent(QPaintEvent* e) {
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

    const QRegion& region = e->region();
    for (const Control* c : form_.inventory().stackingOrder()) {
        if (c->kind() == ControlKind::PictureBox || !c->visible()) continue;
        const QRect r = rectOf(*c);
        if (r.isEmpty() || !region.intersects(r)) continue;
        p.setClipRect(r);
        if (c->isLabel())
            paintLabel(p, static_cast<const Label&>(*c), r);
        else
            paintImage(p, static_cast<const Image&>(*c), r);
    }
    p.setClipping(false);
    // The drag feedback: the picture itself, half transparent, under the pointer.
    if (const std::optional<PointerInput::Ghost> g = pointer_.ghost()) {
        const QRect r = rectOf(g->bounds);
        if (!region.intersects(r)) return;
        p.setOpacity(0.6);
        paintImage(p, *g->image, r);
    }
}

void FormView::resizeEvent(QResizeEvent*) { stretchedBackground_ = QPixmap(); }

bool FormView::event(QEvent* e) {
    if (e->type() != QEvent::ToolTip) return QWidget::event(e);
    const auto* help = static_cast<QHelpEvent*>(e);
    const Control* c = controlAt(help->pos());
    const QString tip = c ? QString::fromStdString(c->toolTip()) : QString();
    if (tip.isEmpty()) {
        QToolTip::hideText();
        e->ignore();
    } else {
        // Shown while the pointer stays over the control.
        QToolTip::showText(help->globalPos(), tip, this, rectOf(*c));
    }
    return true;
}

void FormView::pointerAt(QPoint windowPos) {
    pointerPos_ = windowPos;
    // A held press keeps the cursor it began with, as a captured mouse does.
    if (pointer_.held()) return;
    const Control* c = controlAt(windowPos);
    const Cursor wanted = c ? c->cursor() : Cursor::Arrow;
    if (wanted == cursor_) return;
    cursor_ = wanted;
    setCursor(toQCursor(wanted));
}

void FormView::updateGhost(const std::optional<PointerInput::Ghost>& before) {
    const std::optional<PointerInput::Ghost> after = pointer_.ghost();
    if (before && after && before->bounds == after->bounds) return;
    if (before) update(pixelsOf(before->bounds));
    if (after) update(pixelsOf(after->bounds));
}

void FormView::mousePressEvent(QMouseEvent* e) {
    e->accept();
    pointer_.press(buttonCode(e->button()), shiftCode(e->modifiers()), toTwips(e->position().x()),
                   toTwips(e->position().y()));
    sync();
}

void FormView::mouseDoubleClickEvent(QMouseEvent* e) {
    e->accept();
    pointer_.doublePress(buttonCode(e->button()), shiftCode(e->modifiers()), toTwips(e->position().x()),
                         toTwips(e->position().y()));
    sync();
}

void FormView::mouseMoveEvent(QMouseEvent* e) {
    e->accept();
    const QPoint pos = e->position().toPoint();
    pointerAt(pos);
    if (!pointer_.held()) return;
    const std::optional<PointerInput::Ghost> before = pointer_.ghost();
    pointer_.move(toTwips(e->position().x()), toTwips(e->position().y()), toTwips(QApplication::startDragDistance()));
    updateGhost(before);
}

void FormView::mouseReleaseEvent(QMouseEvent* e) {
    e->accept();
    const std::optional<PointerInput::Ghost> before = pointer_.ghost();
    pointer_.release(buttonCode(e->button()), shiftCode(e->modifiers()), toTwips(e->position().x()),
                     toTwips(e->position().y()));
    updateGhost(before);
    sync();
    pointerAt(e->position().toPoint());
}

void FormView::leaveEvent(QEvent*) { pointerPos_.reset(); }

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
