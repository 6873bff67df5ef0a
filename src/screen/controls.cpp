#include "screen/controls.h"

#include "services/services.h"

namespace ladoslov {

Control::Control(ControlKind kind, std::string name, int index, Twips left, Twips top, Twips width, Twips height)
    : kind_(kind), name_(std::move(name)), index_(index), left_(left), top_(top), width_(width), height_(height) {}

std::string Control::displayName() const {
    return index_ < 0 ? name_ : name_ + "(" + std::to_string(index_) + ")";
}

void Control::setLeft(Twips v) {
    left_ = v;
    touch();
}
void Control::setTop(Twips v) {
    top_ = v;
    touch();
}
void Control::move(Twips left, Twips top) {
    left_ = left;
    top_ = top;
    touch();
}
void Control::setSize(Twips width, Twips height) {
    width_ = width;
    height_ = height;
    touch();
}
void Control::setVisible(bool v) {
    visible_ = v;
    touch();
}
void Control::setToolTip(std::string_view text) {
    toolTip_ = text;
    touch();
}
void Control::setCursor(Cursor c) {
    cursor_ = c;
    touch();
}

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
    caption_ = text;
    fitToText();
    touch();
}
void Label::setForeColour(Colour c) {
    foreColour_ = c;
    touch();
}
void Label::setFontSize(double points) {
    font_.size = points;
    fitToText();
    touch();
}
void Label::setBorderStyle(BorderStyle b) {
    border_ = b;
    touch();
}
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
void Image::beginDrag() {
    dragRequested_ = true;
    touch();
}
void Image::endDrag() {
    dragRequested_ = false;
    touch();
}

PictureBox::PictureBox(std::string name, Twips left, Twips top, Twips width, Twips height, std::string picture)
    : Control(ControlKind::PictureBox, std::move(name), -1, left, top, width, height), picture_(std::move(picture)) {
    setVisible(false);
}
void PictureBox::loadPicture(std::string source) {
    picture_ = std::move(source);
    touch();
}

}  // namespace ladoslov
