// The floor of the start-up benchmark: the screensaver's screen painted by one window in one QPainter
// pass. The core computes the screen as the screensaver would (its services with the clock fixed at
// start and no sound), every month filled; then one borderless, top-most full-screen window decodes the
// background at its size and draws every visible label and picture, back to front.

#include <QApplication>
#include <QDateTime>
#include <QImageReader>
#include <QPainter>
#include <QScreen>
#include <QWidget>
#include <QtWidgets/qdrawutil.h>
#include <utility>
#include <variant>
#include <vector>

#include "qt/first_frame.h"
#include "qt/headless_desktop.h"
#include "screen/form.h"
#include "qt/fonts.h"

static void registerResources() { Q_INIT_RESOURCE(ladoslov); }

namespace {

using namespace ladoslov;

struct Text {
    QRect rect;
    QFont font;
    QColor colour;
    unsigned flags;
    QString text;
    bool border;
};

struct Picture {
    QRect rect;
    QPixmap pixmap;
    bool sunken;
};

// What to draw, back to front: a text or a picture each.
struct Scene {
    QString background;  // "" for the plain button colour
    std::vector<std::variant<Text, Picture>> items;
};

Scene sceneOf(Form1& form, double tpp, const QPalette& palette) {
    const auto px = [tpp](Twips t) { return static_cast<int>(t / tpp + 0.5); };
    Scene scene;
    if (form.backgroundPainted()) scene.background = QString::fromStdString(form.PctFon.picture());
    for (Control* c : form.inventory().stackingOrder()) {
        if (!c->visible() || c->kind() == ControlKind::PictureBox) continue;
        const QRect rect(px(c->left()), px(c->top()), px(c->width()), px(c->height()));
        if (c->isLabel()) {
            const Label& l = static_cast<const Label&>(*c);
            const Colour k = l.foreColour();
            const QColor colour = k == kSystemText ? palette.color(QPalette::ButtonText)
                                                   : QColor(int(k >> 16 & 0xFF), int(k >> 8 & 0xFF), int(k & 0xFF));
            scene.items.emplace_back(Text{rect, toQFont(l.font()), colour,
                                          Qt::AlignLeft | Qt::AlignTop | (l.wordWrap() ? Qt::TextWordWrap : 0),
                                          captionToQString(l.caption()), l.borderStyle() == BorderStyle::FixedSingle});
        } else {
            const Image& image = static_cast<const Image&>(*c);
            scene.items.emplace_back(Picture{rect, QPixmap(QString::fromStdString(image.picture())), image.sunkenFrame()});
        }
    }
    return scene;
}

class OnePass final : public QWidget {
public:
    explicit OnePass(Scene scene) : scene_(std::move(scene)) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        if (background_.size() != size() && !scene_.background.isEmpty()) {
            QImageReader reader(scene_.background);
            reader.setScaledSize(size());
            background_ = QPixmap::fromImage(reader.read());
        }
        if (background_.isNull())
            p.fillRect(rect(), palette().color(QPalette::Button));
        else
            p.drawPixmap(0, 0, background_);
        for (const auto& item : scene_.items) {
            if (const Picture* picture = std::get_if<Picture>(&item)) {
                const int frame = picture->sunken ? 2 : 0;
                p.drawPixmap(picture->rect.topLeft() + QPoint(frame, frame), picture->pixmap);
                if (frame) qDrawWinPanel(&p, picture->rect, palette(), true);
                continue;
            }
            const Text& text = std::get<Text>(item);
            p.setFont(text.font);
            p.setPen(text.colour);
            p.drawText(text.rect, static_cast<int>(text.flags), text.text);
            if (text.border) {
                p.setPen(QPen(Qt::black, 1));
                p.drawRect(text.rect.adjusted(0, 0, -1, -1));
            }
        }
    }

private:
    Scene scene_;
    QPixmap background_;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    registerResources();
    const QDateTime now = QDateTime::currentDateTime();
    const QDate d = now.date();
    const QTime t = now.time();
    const QSize screen = QGuiApplication::primaryScreen()->size();
    const double tpp = twipsPerPixel();
    HeadlessDesktop desktop(Date{d.year(), d.month(), d.day()}, TimeOfDay{t.hour(), t.minute(), t.second()},
                            screen.width(), screen.height(), 1440.0 / tpp);
    Form1 form(desktop.services);
    form.Form_Load();
    while (form.filling())
        for (int month = 1; month <= 12; ++month) form.timerTick(month);

    OnePass window(sceneOf(form, tpp, app.palette()));
    window.setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    window.setGeometry(QRect(QPoint(0, 0), screen));  // without a window manager "full screen" does not size it
    ladoslov::FirstFrameReporter::watch(&window);
    window.showFullScreen();
    return QApplication::exec();
}
