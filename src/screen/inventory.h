#pragma once
// Every control of the window with its design properties: 547 labels (twelve month blocks and seven
// caption labels), four pictures, the hidden picture box and fourteen timers.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "screen/controls.h"

namespace ladoslov {

class LabelArray {
public:
    static constexpr int kSize = 37;
    Label& operator[](int cellIndex) { return *cells.at(static_cast<std::size_t>(cellIndex)); }
    const Label& operator[](int cellIndex) const { return *cells.at(static_cast<std::size_t>(cellIndex)); }
    std::array<Label*, kSize> cells{};
};

struct MonthDesign {
    int month;            // 1 = January
    int fillTimer;        // Timer1 … Timer12
    int titleLabel;
    const char* title;
    Twips titleLeft, titleTop, titleWidth;
    int mondayLabel;      // weekday labels run from this number to sundayLabel, one by one
    int sundayLabel;
    Twips weekdayLeft;
    int cellArray;
    Twips row0Top, column0Left, column1Left;

    int weekdayLabel(int row) const { return mondayLabel + (sundayLabel > mondayLabel ? row : -row); }
};

extern const std::array<MonthDesign, 12> kMonthBlocks;

// The Saturday row's cells, then the Sunday row's: red in every month.
inline constexpr std::array<int, 10> kWeekendCells = {5, 12, 19, 26, 33, 6, 13, 20, 27, 34};

// Where cell i of a month block stands: week column i div 7, weekday row i mod 7 (Monday = 0).
Twips cellLeft(const MonthDesign& m, int cellIndex);
Twips cellTop(const MonthDesign& m, int cellIndex);

inline constexpr int kLabelCount = 547;
inline constexpr int kTimerCount = 14;  // Timer1 … Timer14: the twelve fills, the clock, the feast line

// Compiled-in pictures.
inline const char* const kPictureImage1 = ":/pictures/image1.gif";
inline const char* const kPictureImage2 = ":/pictures/image2.gif";
inline const char* const kPictureImage3 = ":/pictures/image3.gif";
inline const char* const kPictureImage4 = ":/pictures/image4.jpg";
inline const char* const kPictureBackground = ":/pictures/ladoslov.jpg";

class Inventory {
public:
    Inventory();
    Inventory(const Inventory&) = delete;
    Inventory& operator=(const Inventory&) = delete;

    Label& label(int number);  // a label that is not an array
    const Label& label(int number) const { return const_cast<Inventory*>(this)->label(number); }
    LabelArray& labelArray(int number);
    bool isLabelArray(int number) const;
    Timer& timer(int number);
    const Timer& timer(int number) const { return *timers_.at(static_cast<std::size_t>(number - 1)); }
    Image& image(int number);
    PictureBox& pictureBox() { return *pctFon_; }

    const std::vector<Control*>& controls() const { return controls_; }  // the window's control order
    std::vector<Label*> labels() const;
    const std::vector<Control*>& stackingOrder() const { return stacking_; }  // back to front
    std::uint64_t stackingRevision() const { return stackingRevision_; }
    void bringToFront(Control& c);
    void sendToBack(Control& c);

    // Auto-size labels measure themselves from now on, starting with their design captions.
    void setMeasurer(const class TextMeasurer* m);

private:
    Label& addLabel(int number, int index, const Label::Design& d);
    void buildMonthBlock(const MonthDesign& m);
    void buildCaptionLabels();
    void buildPictures();

    std::vector<std::unique_ptr<Control>> store_;
    std::array<Label*, 116> labels_{};
    std::array<LabelArray, 116> arrays_{};
    std::array<bool, 116> isArray_{};
    std::array<Image*, 5> images_{};
    PictureBox* pctFon_ = nullptr;
    std::vector<std::unique_ptr<Timer>> timers_;
    std::vector<Control*> controls_;
    std::vector<Control*> stacking_;
    std::uint64_t stackingRevision_ = 1;
};

}  // namespace ladoslov
