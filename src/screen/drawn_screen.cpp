#include "screen/drawn_screen.h"

#include <algorithm>

#include "screen/form.h"

namespace ladoslov {

double fittedTwipsPerPixel(int widthPx, int heightPx, double dpi) {
    const double own = 1440.0 / (dpi > 0 ? dpi : 96.0);
    if (widthPx <= 0 || heightPx <= 0) return own;
    return std::max({own, static_cast<double>(kDesignScreenWidth) / widthPx,
                     static_cast<double>(kDesignScreenHeight) / heightPx});
}

bool DrawnScreen::reshape(int widthPx, int heightPx, double dpi) {
    if (widthPx == widthPx_ && heightPx == heightPx_ && dpi == dpi_) return false;
    widthPx_ = widthPx;
    heightPx_ = heightPx;
    dpi_ = dpi;
    tpp_ = fittedTwipsPerPixel(widthPx, heightPx, dpi);
    measurer_.drawAt(tpp_);
    return true;
}

}  // namespace ladoslov
