#include "screen/pointer.h"

#include <cmath>

#include "screen/form.h"

namespace ladoslov {

TwipsRect boundsOf(const Control& c) { return TwipsRect{c.left(), c.top(), c.width(), c.height()}; }

Control* controlAt(Form1& form, Twips x, Twips y) {
    const std::vector<Control*>& order = form.inventory().stackingOrder();
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        Control* c = *it;
        if (c->kind() == ControlKind::PictureBox || !c->visible()) continue;
        if (boundsOf(*c).contains(x, y)) return c;
    }
    return nullptr;
}

ChangeTracker::ChangeTracker(const Form1& form) : form_(form) {}

ChangeTracker::Changes ChangeTracker::take() {
    Changes out;
    const Inventory& inventory = form_.inventory();
    const std::vector<Control*>& controls = inventory.controls();
    out.whole = seen_.size() != controls.size() || form_.windowRevision() != windowRevision_ ||
                inventory.stackingRevision() != stackingRevision_;
    windowRevision_ = form_.windowRevision();
    stackingRevision_ = inventory.stackingRevision();
    if (out.whole) seen_.clear();

    for (std::size_t i = 0; i < controls.size(); ++i) {
        const Control& c = *controls[i];
        const Seen now{&c, c.revision(), boundsOf(c), c.visible()};
        if (out.whole) {
            seen_.push_back(now);
            continue;
        }
        Seen& before = seen_[i];
        if (before.revision == now.revision) continue;
        // The hidden picture box holds the background: a new picture repaints everything.
        if (c.kind() == ControlKind::PictureBox) out.whole = true;
        if (before.visible && !before.bounds.empty()) out.areas.push_back(before.bounds);
        if (now.visible && !now.bounds.empty() && !(now.bounds == before.bounds && before.visible))
            out.areas.push_back(now.bounds);
        before = now;
    }
    if (out.whole) out.areas.clear();
    return out;
}

bool PointerInput::hold(int button, bool clickable, Twips x, Twips y) {
    if (held_ || form_.ended()) return false;
    held_ = true;
    button_ = button;
    clickable_ = clickable;
    pressX_ = pointerX_ = x;
    pressY_ = pointerY_ = y;
    target_ = controlAt(form_, x, y);
    return true;
}

void PointerInput::press(int button, int shift, Twips x, Twips y) {
    if (!hold(button, true, x, y) || !target_) return;
    form_.mouseDown(*target_, button, shift, x - target_->left(), y - target_->top());
    if (target_->kind() == ControlKind::Image && static_cast<Image*>(target_)->dragRequested()) {
        dragged_ = static_cast<Image*>(target_);
        grabX_ = x - dragged_->left();
        grabY_ = y - dragged_->top();
        ghostShown_ = false;
    }
}

void PointerInput::doublePress(int button, int, Twips x, Twips y) {
    if (!hold(button, false, x, y)) return;
    if (target_ && button == kLeftButton) form_.dblClick(*target_);
}

void PointerInput::move(Twips x, Twips y, Twips dragThreshold) {
    pointerX_ = x;
    pointerY_ = y;
    if (!dragged_ || ghostShown_) return;
    ghostShown_ = std::fabs(x - pressX_) + std::fabs(y - pressY_) >= dragThreshold;
}

std::optional<PointerInput::Ghost> PointerInput::ghost() const {
    if (!dragged_ || !ghostShown_) return std::nullopt;
    return Ghost{dragged_, TwipsRect{pointerX_ - grabX_, pointerY_ - grabY_, dragged_->width(), dragged_->height()}};
}

void PointerInput::release(int button, int, Twips x, Twips y) {
    if (!held_ || button != button_) return;
    held_ = false;
    pointerX_ = x;
    pointerY_ = y;
    Control* target = target_;
    target_ = nullptr;
    if (form_.ended()) {
        dragged_ = nullptr;
        return;
    }
    if (Image* image = dragged_) {
        dragged_ = nullptr;
        image->endDrag();
        if (ghostShown_) {
            ghostShown_ = false;
            // A drop over a control is the control's, and none handles it; a drop beside the window (another
            // screen) is no drop on it.
            const bool insideWindow = x >= 0 && y >= 0 && x < form_.width() && y < form_.height();
            if (insideWindow && !controlAt(form_, x, y)) form_.Form_DragDrop(*image, x, y);
            return;
        }
    }
    if (!clickable_) return;
    if (target) {
        if (button == kLeftButton && boundsOf(*target).contains(x, y)) form_.click(*target);
        return;
    }
    if (x >= 0 && y >= 0 && x < form_.width() && y < form_.height()) form_.Form_Click();
}

}  // namespace ladoslov
