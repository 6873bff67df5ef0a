#pragma once
// The screen a window is drawn into, as the layout sees it. A front end reports its window's size in
// pixels and the dots per inch it is drawn at; this turns them into the layout's screen in twips and
// the scale the window is drawn at, one rule for start-up, a host's resize, the preview and every monitor.

#include "services/services.h"

namespace ladoslov {

// Twips per pixel for a window of w × h pixels at dpi: the screen's own (1440 / dpi), or more where the
// design screen would not fit at it, so that the whole design is drawn smaller and centred.
double fittedTwipsPerPixel(int widthPx, int heightPx, double dpi);

class DrawnScreen final : public ScreenInfo {
public:
    // The measurer measures text at the scale the window is drawn at.
    explicit DrawnScreen(TextMeasurer& measurer) : measurer_(measurer) {}

    // The window now has this size and dpi; false when nothing changed.
    bool reshape(int widthPx, int heightPx, double dpi);
    double twipsPerPixel() const { return tpp_; }
    int widthPx() const { return widthPx_; }
    int heightPx() const { return heightPx_; }
    Twips width() const override { return static_cast<Twips>(widthPx_ * tpp_); }
    Twips height() const override { return static_cast<Twips>(heightPx_ * tpp_); }

private:
    TextMeasurer& measurer_;
    int widthPx_ = 1024, heightPx_ = 768;
    double dpi_ = 96;
    double tpp_ = 15;
};

}  // namespace ladoslov
