#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <utility>

#include "fakes/fake_services.h"

using namespace ladoslov;
using namespace ladoslov::testing;

TEST(Inventory, HoldsEveryControlOfTheDesignOnce) {
    Harness h;
    const auto labels = h.form.inventory().labels();
    EXPECT_EQ(labels.size(), 547u);
    std::set<std::string> names;
    for (Label* l : labels) EXPECT_TRUE(names.insert(l->displayName()).second) << l->displayName();
    // 103 single labels and twelve arrays of 37.
    int arrays = 0;
    for (int n = 1; n <= 115; ++n) arrays += h.form.inventory().isLabelArray(n);
    EXPECT_EQ(arrays, 12);
    EXPECT_EQ(h.form.Label115.name(), "Label115");
    EXPECT_EQ(h.form.labelArray(10)[36].displayName(), "Label10(36)");
    EXPECT_FALSE(h.form.PctFon.visible());
}

TEST(Inventory, CellPlacementFollowsColumnsAndRows) {
    Harness h;
    struct Case {
        int array, index;
        Twips left, top;
    } cases[] = {
        {10, 0, 720, 1560},    {10, 6, 720, 1560 + 6 * 240}, {10, 7, 960, 1560},
        {10, 35, 960 + 360 * 4, 1560}, {10, 36, 2400, 1800},  {30, 0, 10200, 1560},
        {30, 7, 10560, 1560},  {102, 0, 10200, 8760},        {102, 7, 10560, 8760},
        {75, 13, 13560, 6480 + 6 * 240},
    };
    for (const Case& c : cases) {
        const Label& cell = h.form.labelArray(c.array)[c.index];
        EXPECT_EQ(cell.left(), c.left) << cell.displayName();
        EXPECT_EQ(cell.top(), c.top) << cell.displayName();
        EXPECT_EQ(cell.caption(), std::to_string(c.index + 1));
    }
}

// The design's numbers, written out here rather than read back from the table the inventory is built from.
struct BlockDesign {
    int month;
    int mondayLabel, step;  // "Label19 … Label13" runs downwards
    Twips weekdayLeft;
    int cellArray;
    Colour cellColour;
};
constexpr BlockDesign kBlocks[] = {
    {1, 3, 1, 360, 10, 0x000000},        {2, 19, -1, 3240, 20, kSystemText},  {3, 22, 1, 9840, 30, kSystemText},
    {4, 37, -1, 12960, 39, kSystemText}, {5, 47, -1, 360, 48, kSystemText},   {6, 49, 1, 12960, 57, kSystemText},
    {7, 59, 1, 360, 66, kSystemText},    {8, 74, -1, 12960, 75, kSystemText}, {9, 83, -1, 360, 84, 0x000000},
    {10, 86, 1, 3240, 93, 0x000000},     {11, 101, -1, 9840, 102, 0x000000},  {12, 104, 1, 12960, 111, 0x000000},
};

TEST(Inventory, WeekdayLabelsStandOnTheRowsOfTheirCells) {
    Harness h;
    const char* names[] = {"Пн", "Вт", "Ср", "Чт", "Пт", "Сб", "Вс"};
    for (const BlockDesign& b : kBlocks) {
        for (int row = 0; row < 7; ++row) {
            const Label& wd = h.form.label(b.mondayLabel + b.step * row);
            EXPECT_EQ(wd.caption(), names[row]) << wd.name();
            EXPECT_EQ(wd.top(), h.form.labelArray(b.cellArray)[row].top()) << wd.name();
            EXPECT_EQ(wd.left(), b.weekdayLeft) << wd.name();
            EXPECT_EQ(wd.foreColour(), 0x804000u) << wd.name();
        }
    }
}

// The titles' design is checked with the caption labels below.
TEST(Inventory, DayCellsTakeTheirBlocksDesignColour) {
    Harness h;
    for (const BlockDesign& b : kBlocks)
        for (int i = 0; i < 37; ++i)
            EXPECT_EQ(h.form.labelArray(b.cellArray)[i].foreColour(), b.cellColour) << b.month << " " << i;
}

TEST(Inventory, AutoSizeFollowsCaptionAndFont) {
    Harness h;
    Label& cell = h.form.labelArray(10)[0];
    EXPECT_EQ(cell.width(), 120);  // "1"
    const Twips left = cell.left();
    cell.setCaption("23");
    EXPECT_EQ(cell.width(), 225);
    EXPECT_EQ(cell.left(), left);
    // A word-wrapped label keeps its width and grows downwards.
    Label& names = h.form.Label113;
    const Twips oneLine = names.height();
    names.setCaption(std::string(200, 'x'));
    EXPECT_EQ(names.width(), 7680);
    EXPECT_GT(names.height(), oneLine);
    // A fixed-size label ignores its text.
    h.form.Label12.setCaption("23:59:59 and more");
    EXPECT_EQ(h.form.Label12.width(), 2010);
    // A new font size measures again.
    Label& feast = h.form.Label115;
    feast.setCaption("Пасха");
    const Twips big = feast.width();
    feast.setFontSize(20);
    EXPECT_LT(feast.width(), big);
}

TEST(Inventory, ClickCursorsMarkExactlyTheControlsThatReact) {
    Harness h;
    for (Control* c : h.form.inventory().controls()) {
        if (c->kind() == ControlKind::PictureBox) continue;
        EXPECT_EQ(c->cursor() != Cursor::Arrow, h.form.reactsToClick(*c)) << c->displayName();
    }
    EXPECT_EQ(h.form.Image1.cursor(), Cursor::B);
    EXPECT_EQ(h.form.Image2.cursor(), Cursor::A);
}

TEST(Inventory, TimersStartEnabledWithTheirIntervals) {
    Harness h;
    for (int i = 1; i <= 14; ++i) {
        EXPECT_TRUE(h.form.timer(i).enabled());
        EXPECT_EQ(h.form.timer(i).interval(), i <= 12 ? 1 : i == 13 ? 1000 : 1500);
    }
}

namespace {

// A picture file's pixel size from its header: GIF's logical screen, or a JPEG's start-of-frame.
std::pair<int, int> pictureSize(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto byte = [&](std::size_t i) { return i < b.size() ? static_cast<unsigned char>(b[i]) : 0; };
    if (b.rfind("GIF8", 0) == 0) return {byte(6) | byte(7) << 8, byte(8) | byte(9) << 8};
    for (std::size_t i = 2; i + 8 < b.size();) {
        if (byte(i) != 0xFF) break;
        const int marker = byte(i + 1);
        if (marker == 0xC0 || marker == 0xC1 || marker == 0xC2)
            return {byte(i + 7) << 8 | byte(i + 8), byte(i + 5) << 8 | byte(i + 6)};
        i += 2 + static_cast<std::size_t>(byte(i + 2) << 8 | byte(i + 3));
    }
    return {0, 0};
}

}  // namespace

// The design of every label outside the day cells and weekday rows, and of every picture, as built.
TEST(Inventory, CaptionLabelsTitlesAndPicturesHaveTheirDesign) {
    const char* const kTnr = "Times New Roman";
    const char* const kSans = "MS Sans Serif";
    const char* const kColourClick = "Выбор цвета шрифта - щелчком мышки";
    const char* const kAnyText = "\x01";  // the design leaves the text to us: any, but not none
    struct LabelCase {
        int number;
        const char* caption;
        Twips left, top, width, height;
        const char* font;
        double size;
        bool italic;
        Colour colour;
        bool autoSize, wordWrap;
        Cursor cursor;
        const char* toolTip;
    } labels[] = {
        {1, "Морской интернет-клуб \"Шкертик\"", 6218, 120, 5565, 420, kTnr, 18, true, 0x0000FF, true, false,
         Cursor::Arrow, kAnyText},
        {2, kAnyText, 7898, 600, 2205, 285, kTnr, 12, false, 0x0000C0, true, false, Cursor::Arrow,
         "Адрес сайта Морской интернет-клуб \"Шкертик\" в Интернете"},
        {12, "", 8175, 2040, 2010, 540, kTnr, 24, false, 0x00FFFF, false, false, Cursor::A,
         "Выбор цвета щелчком мышки"},
        {112, "Ладослов", 5625, 3840, 4110, 645, kTnr, 27.75, true, 0x0000FF, true, false, Cursor::A, kColourClick},
        {113, "", 2880, 6240, 7680, 330, kTnr, 14.25, false, 0x800000, true, true, Cursor::A,
         "Выбор шрифта - щелчком мышки"},
        {114, "", 7080, 10680, 2570, 645, kTnr, 27.75, true, 0x00FF00, true, true, Cursor::A, kColourClick},
        {115, "", 0, 0, 12885, 645, kTnr, 27.75, true, 0xFF0000, true, false, Cursor::A, kColourClick},
        {11, "Январь", 1080, 1200, 660, 195, kSans, 8.25, false, kSystemText, true, false, Cursor::A,
         "Все названия месяцев: щелчок мышки - выбор цвета шрифта дней месяца"},
        {21, "Февраль", 3840, 1200, 810, 195, kSans, 8.25, false, kSystemText, true, false, Cursor::A, ""},
        {29, "Март", 10680, 1200, 450, 195, kSans, 8.25, false, kSystemText, true, false, Cursor::A, ""},
        {38, "Апрель", 13680, 1200, 645, 195, kSans, 8.25, false, kSystemText, true, false, Cursor::A, ""},
        {40, "Май", 1080, 3600, 360, 195, kSans, 8.25, false, kSystemText, true, false, Cursor::A, ""},
        {56, "Июнь", 13680, 3600, 480, 195, kSans, 8.25, false, kSystemText, true, false, Cursor::A, ""},
        {58, "Июль", 1080, 6000, 480, 195, kSans, 8.25, false, kSystemText, true, false, Cursor::A, ""},
        {67, "Август", 13680, 6000, 600, 195, kSans, 8.25, false, kSystemText, true, false, Cursor::A, ""},
        {76, "Сентябрь", 1080, 8400, 840, 195, kSans, 8.25, false, kSystemText, true, false, Cursor::A, ""},
        {85, "Октябрь", 3960, 8400, 750, 195, kSans, 8.25, false, kSystemText, false, false, Cursor::A, ""},
        {94, "Ноябрь", 10680, 8400, 660, 195, kSans, 8.25, false, kSystemText, true, false, Cursor::A, ""},
        {103, "Декабрь", 13680, 8400, 780, 195, kSans, 8.25, false, kSystemText, true, false, Cursor::A, ""},
    };
    struct PictureCase {
        const char* name;
        Twips left, top, width, height;
        const char* file;  // in the source tree
        int pixelWidth, pixelHeight;
        bool frame;
        Cursor cursor;
        const char* toolTip;
    } pictures[] = {
        {"Image1", 4800, 960, 915, 750, "res/pictures/image1.gif", 61, 50, false, Cursor::B, "Включить музыку!"},
        {"Image2", 6960, 9360, 1365, 1065, "res/pictures/image2.gif", 91, 71, false, Cursor::A,
         "Отбуксируй меня на глубоководье!"},
        {"Image3", 6480, 1680, 915, 750, "res/pictures/image3.gif", 61, 50, false, Cursor::A,
         "Выбор цвета шрифта дней недели"},
        {"Image4", 7440, 960, 1530, 1860, "res/pictures/image4.jpg", 98, 120, true, Cursor::Arrow,
         "Спас Нерукотворный"},
        {"PctFon", 16560, 840, 2055, 1575, "Data/ladoslov.jpg", 1680, 1260, false, Cursor::Arrow, ""},
    };

    Inventory design;  // as built, before start-up places anything and before any text is measured
    for (const LabelCase& c : labels) {
        const Label& l = design.label(c.number);
        SCOPED_TRACE(l.name());
        EXPECT_EQ(l.name(), "Label" + std::to_string(c.number));
        if (c.caption == kAnyText) EXPECT_FALSE(l.caption().empty());
        else EXPECT_EQ(l.caption(), c.caption);
        EXPECT_EQ(l.left(), c.left);
        EXPECT_EQ(l.top(), c.top);
        EXPECT_EQ(l.width(), c.width);
        EXPECT_EQ(l.height(), c.height);
        EXPECT_EQ(l.font(), (Font{c.font, c.size, true, c.italic}));
        EXPECT_EQ(l.foreColour(), c.colour);
        EXPECT_EQ(l.autoSize(), c.autoSize);
        EXPECT_EQ(l.wordWrap(), c.wordWrap);
        EXPECT_EQ(l.cursor(), c.cursor);
        if (c.toolTip == kAnyText) EXPECT_FALSE(l.toolTip().empty());
        else EXPECT_EQ(l.toolTip(), c.toolTip);
        EXPECT_EQ(l.borderStyle(), BorderStyle::None);
        EXPECT_TRUE(l.visible());
    }
    for (const PictureCase& c : pictures) {
        SCOPED_TRACE(c.name);
        const bool box = std::string(c.name) == "PctFon";
        const Control& p = box ? static_cast<const Control&>(design.pictureBox()) : design.image(c.name[5] - '0');
        EXPECT_EQ(p.name(), c.name);
        EXPECT_EQ(p.left(), c.left);
        EXPECT_EQ(p.top(), c.top);
        EXPECT_EQ(p.width(), c.width);
        EXPECT_EQ(p.height(), c.height);
        EXPECT_EQ(p.cursor(), c.cursor);
        EXPECT_EQ(p.toolTip(), c.toolTip);
        EXPECT_EQ(p.visible(), !box);
        if (box) {
            EXPECT_EQ(design.pictureBox().picture(), ":/pictures/ladoslov.jpg");  // the compiled-in copy
        } else {
            const Image& image = static_cast<const Image&>(p);
            EXPECT_EQ(image.picture(), std::string(":/") + (c.file + 4));  // the compiled-in copy
            EXPECT_EQ(image.sunkenFrame(), c.frame);
        }
        EXPECT_EQ(pictureSize(std::string(LADOSLOV_SOURCE_DIR) + "/" + c.file),
                  std::make_pair(c.pixelWidth, c.pixelHeight));
    }
}
