#include "screen/session.h"

#include <algorithm>
#include <cmath>

namespace ladoslov {

int nearestPixel(Twips t, double tpp) { return static_cast<int>(std::lround(t / tpp)); }

PixelRect drawnPixels(const TwipsRect& r, double tpp) {
    return PixelRect{nearestPixel(r.left, tpp), nearestPixel(r.top, tpp), nearestPixel(r.left + r.width, tpp),
                     nearestPixel(r.top + r.height, tpp)};
}

PixelRect pixelsToRepaint(const TwipsRect& r, double tpp) {
    return PixelRect{static_cast<int>(std::floor(r.left / tpp)), static_cast<int>(std::floor(r.top / tpp)),
                     static_cast<int>(std::ceil((r.left + r.width) / tpp)),
                     static_cast<int>(std::ceil((r.top + r.height) / tpp))};
}

FormSession::FormSession(Form1& form, DrawnScreen& screen, int timerResolutionMs)
    : form_(form),
      screen_(screen),
      timerResolutionMs_(timerResolutionMs),
      tracker_(form),
      pointer_(form),
      timerRunning_(kTimerCount) {}

void FormSession::reshape(int widthPx, int heightPx, double dpi) {
    if (screen_.reshape(widthPx, heightPx, dpi)) form_.Form_Resize();
}

std::vector<FormSession*> FormSession::members() { return group_ ? group_->sessions_ : std::vector<FormSession*>{this}; }

void FormSession::settle() {
    if (group_) group_->endTogether();
    for (FormSession* s : members())
        if (s->apply_) s->apply_();
}

void FormSession::press(int button, int shift, Twips x, Twips y) {
    if (takesInput()) pointer_.press(button, shift, x, y);
}

void FormSession::doublePress(int button, int shift, Twips x, Twips y) {
    if (takesInput()) pointer_.doublePress(button, shift, x, y);
}

void FormSession::move(Twips x, Twips y, Twips dragThreshold) {
    if (takesInput()) pointer_.move(x, y, dragThreshold);
}

void FormSession::release(int button, int shift, Twips x, Twips y) {
    if (takesInput()) pointer_.release(button, shift, x, y);
}

void FormSession::pointerLeft() { pointerAt_.reset(); }

// A key goes to the window with the focus, on one monitor; every monitor's form has it.
void FormSession::keyDown(int keyCode, int shift) {
    for (FormSession* s : members())
        if (s->takesInput()) s->form_.Form_KeyDown(keyCode, shift);
}

void FormSession::keyUp(int keyCode, int shift) {
    for (FormSession* s : members())
        if (s->takesInput()) s->form_.Form_KeyUp(keyCode, shift);
}

void FormSession::keyPress(char32_t character) {
    for (FormSession* s : members())
        if (s->takesInput()) s->form_.Form_KeyPress(character);
}

void FormSession::tick(int timer) { form_.timerTick(timer); }

void FormSession::close() { form_.Form_Unload(); }

void SessionGroup::join(FormSession& session) {
    session.group_ = this;
    sessions_.push_back(&session);
}

void SessionGroup::endTogether() {
    const bool anyEnded = std::any_of(sessions_.begin(), sessions_.end(), [](FormSession* s) { return s->form_.ended(); });
    if (!anyEnded) return;
    for (FormSession* s : sessions_)
        if (!s->form_.ended()) s->close();
}

void FormSession::startTimers() { timersStarted_ = true; }

Cursor FormSession::cursorAt(Twips x, Twips y) {
    pointerAt_.emplace(x, y);
    // A held press keeps the cursor it began with, as a captured mouse does.
    if (!pointer_.held()) {
        const Control* c = controlAt(form_, x, y);
        cursor_ = c ? c->cursor() : Cursor::Arrow;
    }
    return cursor_;
}

ToolTip FormSession::toolTipAt(Twips x, Twips y) const {
    const Control* c = controlAt(form_, x, y);
    if (!c) return {};
    return ToolTip{c, c->toolTip(), boundsOf(*c)};
}

namespace {

Drawing drawingOf(const Image& image, const TwipsRect& bounds, double tpp) {
    Drawing d;
    d.image = &image;
    d.bounds = bounds;
    d.at = drawnPixels(bounds, tpp);
    d.frame = image.sunkenFrame() ? kSunkenFramePixels : 0;
    return d;
}

}  // namespace

std::vector<Drawing> FormSession::drawList() const {
    std::vector<Drawing> list;
    for (const Control* c : form_.inventory().stackingOrder()) {
        if (c->kind() == ControlKind::PictureBox || !c->visible()) continue;
        if (!c->isLabel()) {
            list.push_back(drawingOf(static_cast<const Image&>(*c), boundsOf(*c), twipsPerPixel()));
            continue;
        }
        Drawing d;
        d.label = static_cast<const Label*>(c);
        d.bounds = boundsOf(*c);
        d.at = drawnPixels(d.bounds, twipsPerPixel());
        d.border = d.label->borderStyle() == BorderStyle::FixedSingle;
        list.push_back(d);
    }
    // The drag feedback: the picture itself, half transparent, under the pointer.
    if (const std::optional<PointerInput::Ghost> g = pointer_.ghost()) {
        list.push_back(drawingOf(*g->image, g->bounds, twipsPerPixel()));
        list.back().opacity = kDragFeedbackOpacity;
    }
    return list;
}

std::optional<std::string> FormSession::backgroundPicture() const {
    if (!form_.backgroundPainted()) return std::nullopt;
    return form_.PctFon.picture();
}

int FormSession::intervalOf(const Timer& t) const { return std::max(t.interval(), timerResolutionMs_); }

FormSession::Update FormSession::update() {
    Update u;
    u.window = form_.windowRevision() != windowRevision_;
    windowRevision_ = form_.windowRevision();
    ChangeTracker::Changes changes = tracker_.take();
    u.whole = changes.whole;
    u.areas = std::move(changes.areas);
    std::optional<TwipsRect> feedback;
    if (const std::optional<PointerInput::Ghost> g = pointer_.ghost()) feedback = g->bounds;
    if (feedback != feedbackShown_ && !u.whole) {
        if (feedbackShown_) u.areas.push_back(*feedbackShown_);
        if (feedback) u.areas.push_back(*feedback);
    }
    feedbackShown_ = feedback;
    // A control that appeared, went or moved under a resting pointer changes its cursor.
    if (pointerAt_ && (u.whole || !u.areas.empty())) {
        const Cursor before = cursor_;
        if (cursorAt(pointerAt_->first, pointerAt_->second) != before) u.cursor = cursor_;
    }
    for (int n = 1; n <= kTimerCount; ++n) {
        const Timer& t = form_.timer(n);
        const bool run = timersStarted_ && t.enabled() && !form_.ended();
        if (run == timerRunning_[static_cast<std::size_t>(n - 1)]) continue;
        timerRunning_[static_cast<std::size_t>(n - 1)] = run;
        u.timers.push_back(TimerRequest{n, run, intervalOf(t)});
    }
    return u;
}

int runScreensaver(const std::vector<Form1*>& forms, FrontEnd& frontEnd) {
    Form1& primary = *forms.front();
    primary.CheckCommandLine();
    if (primary.ended()) return primary.exitCode();
    frontEnd.createWindows();
    // The primary's start-up first: a second copy ends there, and only it plays the tune.
    for (Form1* form : forms) {
        form->Form_Load();
        if (primary.ended()) return primary.exitCode();
    }
    if (!frontEnd.showWindows()) return 1;
    frontEnd.startTimers();
    const int loopCode = frontEnd.runEventLoop();
    return primary.ended() ? primary.exitCode() : loopCode;
}

}  // namespace ladoslov
