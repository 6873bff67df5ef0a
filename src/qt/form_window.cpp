#include "qt/form_window.h"

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

#include "qt/fonts.h"

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

FormWindow::FormWindow(Form1& form, DrawnScreen& screen)
    // Qt's timers keep their interval to the millisecond: the design's 1 ms fills tick once a frame, as the
    // system's timers deliver them elsewhere.
    : session_(form, screen, 16) {
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
    for (int i = 1; i <= kTimerCount; ++i) {
        auto* t = new QTimer(this);
        t->setTimerType(Qt::PreciseTimer);
        connect(t, &QTimer::timeout, this, [this, i] {
            session_.tick(i);
            session_.settle();
        });
        timers_.push_back(t);
    }
    session_.onUpdate([this] { sync(); });
    sync();
}

FormWindow::~FormWindow() = default;

QRect FormWindow::toQRect(const PixelRect& p) { return QRect(p.left, p.top, std::max(0, p.width()), std::max(0, p.height())); }

QRect FormWindow::rectOf(const TwipsRect& r) const { return toQRect(drawnPixels(r, twipsPerPixel())); }

Control* FormWindow::controlAt(QPoint windowPos) const {
    return ladoslov::controlAt(const_cast<FormWindow*>(this)->form(), toTwips(windowPos.x()), toTwips(windowPos.y()));
}

std::optional<QRect> FormWindow::dragGhostRect() const {
    const std::optional<PointerInput::Ghost> g = session_.dragFeedback();
    if (!g) return std::nullopt;
    return rectOf(g->bounds);
}

void FormWindow::sync() {
    const FormSession::Update u = session_.update();
    if (u.window) {
        const Form1& f = session_.form();
        setGeometry(rectOf(TwipsRect{f.left(), f.top(), f.width(), f.height()}).translated(origin_));
    }
    if (u.window || u.whole) {
        update();
    } else {
        for (const TwipsRect& r : u.areas) {
            const PixelRect p = pixelsToRepaint(r, twipsPerPixel());
            update(QRect(QPoint(p.left, p.top), QPoint(p.right - 1, p.bottom - 1)));
        }
    }
    if (u.cursor) showCursor(*u.cursor);
    for (const TimerRequest& t : u.timers) {
        QTimer* q = timers_[static_cast<std::size_t>(t.number - 1)];
        if (t.run)
            q->start(t.intervalMs);
        else
            q->stop();
    }
}

void FormWindow::startTimers() {
    session_.startTimers();
    sync();
}

void FormWindow::showCursor(Cursor c) {
    if (c == shown_) return;
    shown_ = c;
    setCursor(toQCursor(c));
}

const QPixmap& FormWindow::pictureOf(const Image& image) {
    auto it = pictures_.find(image.picture());
    if (it == pictures_.end())
        it = pictures_.emplace(image.picture(), QPixmap(QString::fromStdString(image.picture()))).first;
    return it->second;
}

void FormWindow::paintLabel(QPainter& p, const Drawing& d, const QRect& r) const {
    const Label& l = *d.label;
    p.setFont(toQFont(l.font(), viewScale(twipsPerPixel())));
    p.setPen(toQColor(l.foreColour(), palette()));
    const int flags = Qt::AlignLeft | Qt::AlignTop | (l.wordWrap() ? Qt::TextWordWrap : 0);
    p.drawText(r, flags, captionToQString(l.caption()));
    if (d.border) {
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(r.adjusted(0, 0, -1, -1));
    }
}

void FormWindow::paintImage(QPainter& p, const Drawing& d, const QRect& r) {
    // The picture fills its control, whatever the scale: against its corner at every dpi and in a preview.
    const QPixmap& pixmap = pictureOf(*d.image);
    const QRect inside = r.adjusted(d.frame, d.frame, -d.frame, -d.frame);
    if (inside.size() != pixmap.size()) p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawPixmap(inside, pixmap);
    if (d.frame) qDrawWinPanel(&p, r, palette(), true);
}

void FormWindow::paintBackground(QPainter& p) {
    const std::optional<std::string> source = session_.backgroundPicture();
    const BackgroundKey key{source.value_or(std::string()), width(), height()};
    if (source && key != backgroundKey_) {
        // Decoded straight to the window's size, once.
        backgroundKey_ = key;
        QImageReader reader(QString::fromStdString(*source));
        reader.setScaledSize(size());
        stretchedBackground_ = QPixmap::fromImage(reader.read());
    }
    if (source && !stretchedBackground_.isNull())
        p.drawPixmap(0, 0, stretchedBackground_);
    else
        p.fillRect(rect(), palette().color(QPalette::Button));
}

void FormWindow::paintEvent(QPaintEvent* e) {
    QPainter p(this);
    paintBackground(p);
    const QRegion& region = e->region();
    for (const Drawing& d : session_.drawList()) {
        const QRect r = toQRect(d.at);
        if (r.isEmpty() || !region.intersects(r)) continue;
        p.setClipRect(r);
        p.setOpacity(d.opacity);
        if (d.label)
            paintLabel(p, d, r);
        else
            paintImage(p, d, r);
    }
}

bool FormWindow::event(QEvent* e) {
    if (e->type() != QEvent::ToolTip) return QWidget::event(e);
    const auto* help = static_cast<QHelpEvent*>(e);
    const ToolTip tip = session_.toolTipAt(toTwips(help->pos().x()), toTwips(help->pos().y()));
    if (tip.text.empty()) {
        QToolTip::hideText();
        e->ignore();
    } else {
        // Shown while the pointer stays over the control.
        QToolTip::showText(help->globalPos(), QString::fromStdString(tip.text), this, rectOf(tip.bounds));
    }
    return true;
}

void FormWindow::mousePressEvent(QMouseEvent* e) {
    e->accept();
    session_.press(buttonCode(e->button()), shiftCode(e->modifiers()), toTwips(e->position().x()),
                   toTwips(e->position().y()));
    session_.settle();
}

void FormWindow::mouseDoubleClickEvent(QMouseEvent* e) {
    e->accept();
    session_.doublePress(buttonCode(e->button()), shiftCode(e->modifiers()), toTwips(e->position().x()),
                         toTwips(e->position().y()));
    session_.settle();
}

void FormWindow::mouseMoveEvent(QMouseEvent* e) {
    e->accept();
    const Twips x = toTwips(e->position().x()), y = toTwips(e->position().y());
    showCursor(session_.cursorAt(x, y));
    session_.move(x, y, toTwips(QApplication::startDragDistance()));
    session_.settle();
}

void FormWindow::mouseReleaseEvent(QMouseEvent* e) {
    e->accept();
    const Twips x = toTwips(e->position().x()), y = toTwips(e->position().y());
    session_.release(buttonCode(e->button()), shiftCode(e->modifiers()), x, y);
    session_.settle();
    showCursor(session_.cursorAt(x, y));
}

void FormWindow::leaveEvent(QEvent*) { session_.pointerLeft(); }

void FormWindow::keyPressEvent(QKeyEvent* e) {
    e->accept();
    session_.keyDown(windowKeyCode(e->key()), shiftCode(e->modifiers()));
    if (producesCharacter(e->key(), e->text())) session_.keyPress(e->text().toUcs4().value(0));
    session_.settle();
}

void FormWindow::keyReleaseEvent(QKeyEvent* e) {
    e->accept();
    // Held keys repeat their key-down only.
    if (e->isAutoRepeat()) return;
    session_.keyUp(windowKeyCode(e->key()), shiftCode(e->modifiers()));
    session_.settle();
}

void FormWindow::closeEvent(QCloseEvent* e) {
    session_.close();
    session_.settle();
    e->accept();
}

}  // namespace ladoslov
