#include "screen/controls.h"

#include "services/services.h"

namespace ladoslov {

Control::Control(ControlKind kind, std::string name, int index, Twips left, Twips top, Twips width, Twips height)
    : kind_(kind), name_(std::move(name)), index_(index), left_(left), top_(top), width_(width), height_(height),
      designLeft_(left), designTop_(top) {}

std::string Control::displayName() const {
    return index_ < 0 ? name_ : name_ + "(" + std::to_string(index_) + ")";
}

void Control::setLeft(Twips v) { change(left_, v); }
void Control::setTop(Twips v) { change(top_, v); }
void Control::move(Twips left, Twips top) {
    setLeft(left);
    setTop(top);
}
void Control::setSize(Twips width, Twips height) {
    change(width_, width);
    change(height_, height);
}
void Control::setVisible(bool v) { change(visible_, v); }
void Control::setToolTip(std::string_view text) { change(toolTip_, text); }
void Control::setCursor(Cursor c) { change(cursor_, c); }

Label::Label(std::string name, int index, const Design& d)
    : Control(ControlKind::Label, std::move(name), index, d.left, d.top, d.width, d.height),
      caption_(d.caption),
      foreColour_(d.foreColour),
      font_(d.font),
      autoSize_(d.autoSize),
      wordWrap_(d.wordWrap) {
    setCursor(d.cursor);
    setToolTip(d.toolTip);
}

void Label::setCaption(std::string_view text) {
    if (change(caption_, text)) fitToText();
}
void Label::setForeColour(Colour c) { change(foreColour_, c); }
void Label::setFontSize(double points) {
    if (change(font_.size, points)) fitToText();
}
void Label::setBorderStyle(BorderStyle b) { change(border_, b); }
void Label::setMeasurer(const TextMeasurer* m) {
    measurer_ = m;
    fitToText();
}

void Label::fitToText() {
    if (!autoSize_ || !measurer_) return;
    const TwipsSize s = measurer_->measure(caption_, font_, wordWrap_ ? width() : 0);
    setSize(wordWrap_ ? width() : s.width, s.height);
}

Image::Image(std::string name, Twips left, Twips top, Twips width, Twips height, std::string picture,
             bool sunkenFrame, Cursor cursor, std::string_view toolTip)
    : Control(ControlKind::Image, std::move(name), -1, left, top, width, height),
      picture_(std::move(picture)),
      sunkenFrame_(sunkenFrame) {
    setCursor(cursor);
    setToolTip(toolTip);
}
void Image::beginDrag() { change(dragRequested_, true); }
void Image::endDrag() { change(dragRequested_, false); }

PictureBox::PictureBox(std::string name, Twips left, Twips top, Twips width, Twips height, std::string picture)
    : Control(ControlKind::PictureBox, std::move(name), -1, left, top, width, height), picture_(std::move(picture)) {
    setVisible(false);
}
void PictureBox::loadPicture(std::string source) {
    picture_ = std::move(source);
    touch();
}

}  // namespace ladoslov
