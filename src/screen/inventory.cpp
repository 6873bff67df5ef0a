#include "screen/inventory.h"

#include <algorithm>
#include <stdexcept>

#include "services/services.h"

namespace ladoslov {

const std::array<MonthDesign, 12> kMonthBlocks = {{
    {1, 1, 11, "Январь", 1080, 1200, 660, 3, 9, 360, 10, 1560, 720, 960},
    {2, 2, 21, "Февраль", 3840, 1200, 810, 19, 13, 3240, 20, 1560, 3600, 3840},
    // Kept: March's and November's column 0 stands 360 twips left of column 1, the others' 240.
    {3, 3, 29, "Март", 10680, 1200, 450, 22, 28, 9840, 30, 1560, 10200, 10560},
    {4, 4, 38, "Апрель", 13680, 1200, 645, 37, 31, 12960, 39, 1560, 13320, 13560},
    {5, 5, 40, "Май", 1080, 3600, 360, 47, 41, 360, 48, 3960, 720, 960},
    {6, 6, 56, "Июнь", 13680, 3600, 480, 49, 55, 12960, 57, 3960, 13320, 13560},
    {7, 7, 58, "Июль", 1080, 6000, 480, 59, 65, 360, 66, 6360, 720, 960},
    {8, 8, 67, "Август", 13680, 6000, 600, 74, 68, 12960, 75, 6480, 13320, 13560},
    {9, 9, 76, "Сентябрь", 1080, 8400, 840, 83, 77, 360, 84, 8760, 720, 960},
    {10, 10, 85, "Октябрь", 3960, 8400, 750, 86, 92, 3240, 93, 8760, 3600, 3840},
    {11, 11, 94, "Ноябрь", 10680, 8400, 660, 101, 95, 9840, 102, 8760, 10200, 10560},
    {12, 12, 103, "Декабрь", 13680, 8400, 780, 104, 110, 12960, 111, 8760, 13320, 13560},
}};

namespace {

constexpr Twips kRowPitch = 240;
constexpr Twips kColumnPitch = 360;
constexpr const char* kWeekdayNames[7] = {"Пн", "Вт", "Ср", "Чт", "Пт", "Сб", "Вс"};
constexpr Twips kWeekdayWidths[7] = {240, 210, 225, 225, 225, 225, 225};
constexpr Colour kWeekdayBrown = 0x804000;

Font sansSerif() { return Font{kMsSansSerif, 8.25, true, false}; }
Font timesNewRoman(double size, bool italic) { return Font{kTimesNewRoman, size, true, italic}; }

}  // namespace

Twips cellLeft(const MonthDesign& m, int cellIndex) {
    const int column = cellIndex / 7;
    return column == 0 ? m.column0Left : m.column1Left + kColumnPitch * static_cast<Twips>(column - 1);
}

Twips cellTop(const MonthDesign& m, int cellIndex) {
    return m.row0Top + kRowPitch * static_cast<Twips>(cellIndex % 7);
}

Inventory::Inventory() {
    // Control order: pictures first, then the month blocks, then the caption labels, then the timers.
    buildPictures();
    for (const MonthDesign& m : kMonthBlocks) buildMonthBlock(m);
    buildCaptionLabels();
    for (int i = 1; i <= kTimerCount; ++i)
        timers_.push_back(std::make_unique<Timer>("Timer" + std::to_string(i), i <= 12 ? 1 : i == 13 ? 1000 : 1500));
    // Initial stacking: the pictures beneath the labels.
    stacking_ = controls_;
}

Label& Inventory::addLabel(int number, int index, const Label::Design& d) {
    auto owned = std::make_unique<Label>("Label" + std::to_string(number), index, d);
    Label& l = *owned;
    store_.push_back(std::move(owned));
    controls_.push_back(&l);
    if (index < 0) {
        labels_.at(static_cast<std::size_t>(number)) = &l;
    } else {
        isArray_.at(static_cast<std::size_t>(number)) = true;
        arrays_.at(static_cast<std::size_t>(number)).cells.at(static_cast<std::size_t>(index)) = &l;
    }
    return l;
}

void Inventory::buildMonthBlock(const MonthDesign& m) {
    Label::Design title;
    title.caption = m.title;
    title.left = m.titleLeft;
    title.top = m.titleTop;
    title.width = m.titleWidth;
    title.height = 195;
    title.font = sansSerif();
    title.autoSize = m.titleLabel != 85;  // kept: "Октябрь" alone keeps its design width of 750
    title.cursor = Cursor::A;
    if (m.titleLabel == 11)
        title.toolTip = "Все названия месяцев: щелчок мышки - выбор цвета шрифта дней месяца";
    addLabel(m.titleLabel, -1, title);

    for (int row = 0; row < 7; ++row) {
        Label::Design wd;
        wd.caption = kWeekdayNames[row];
        wd.left = m.weekdayLeft;
        wd.top = m.row0Top + kRowPitch * static_cast<Twips>(row);
        wd.width = kWeekdayWidths[row];
        wd.height = 195;
        wd.font = sansSerif();
        wd.foreColour = kWeekdayBrown;
        wd.autoSize = true;
        addLabel(m.weekdayLabel(row), -1, wd);
    }

    const bool blackCells = m.month == 1 || m.month >= 9;
    for (int i = 0; i < LabelArray::kSize; ++i) {
        Label::Design cell;
        cell.caption = std::to_string(i + 1);
        cell.left = cellLeft(m, i);
        cell.top = cellTop(m, i);
        cell.width = i + 1 < 10 ? 120 : 225;
        cell.height = 195;
        cell.font = sansSerif();
        cell.foreColour = blackCells ? kPalette[0] : kSystemText;
        cell.autoSize = true;
        addLabel(m.cellArray, i, cell);
    }
}

void Inventory::buildCaptionLabels() {
    auto caption = [this](int number, const char* text, Twips l, Twips t, Twips w, Twips h, Font f, Colour c,
                          bool autoSize, bool wordWrap, Cursor cursor, const char* tip) {
        Label::Design d;
        d.caption = text;
        d.left = l;
        d.top = t;
        d.width = w;
        d.height = h;
        d.font = std::move(f);
        d.foreColour = c;
        d.autoSize = autoSize;
        d.wordWrap = wordWrap;
        d.cursor = cursor;
        d.toolTip = tip;
        addLabel(number, -1, d);
    };
    caption(1, "Морской интернет-клуб \"Шкертик\"", 6218, 120, 5565, 420, timesNewRoman(18, true), 0x0000FF, true,
            false, Cursor::Arrow, "Заставку сделали участники Морского интернет-клуба \"Шкертик\"");
    caption(2, "http://shkertik.example.org", 7898, 600, 2205, 285, timesNewRoman(12, false), 0x0000C0, true, false,
            Cursor::Arrow, "Адрес сайта Морской интернет-клуб \"Шкертик\" в Интернете");
    caption(12, "", 8175, 2040, 2010, 540, timesNewRoman(24, false), 0x00FFFF, false, false, Cursor::A,
            "Выбор цвета щелчком мышки");
    caption(112, "Ладослов", 5625, 3840, 4110, 645, timesNewRoman(27.75, true), 0x0000FF, true, false, Cursor::A,
            "Выбор цвета шрифта - щелчком мышки");
    caption(113, "", 2880, 6240, 7680, 330, timesNewRoman(14.25, false), 0x800000, true, true, Cursor::A,
            "Выбор шрифта - щелчком мышки");
    caption(114, "", 7080, 10680, 2570, 645, timesNewRoman(27.75, true), 0x00FF00, true, true, Cursor::A,
            "Выбор цвета шрифта - щелчком мышки");
    caption(115, "", 0, 0, 12885, 645, timesNewRoman(27.75, true), 0xFF0000, true, false, Cursor::A,
            "Выбор цвета шрифта - щелчком мышки");
}

void Inventory::buildPictures() {
    auto add = [this](int n, Twips l, Twips t, Twips w, Twips h, const char* pic, bool frame, Cursor cur,
                      const char* tip) {
        auto img = std::make_unique<Image>("Image" + std::to_string(n), l, t, w, h, pic, frame, cur, tip);
        images_.at(static_cast<std::size_t>(n)) = img.get();
        controls_.push_back(img.get());
        store_.push_back(std::move(img));
    };
    add(1, 4800, 960, 915, 750, kPictureImage1, false, Cursor::B, "Включить музыку!");
    add(2, 6960, 9360, 1365, 1065, kPictureImage2, false, Cursor::A, "Отбуксируй меня на глубоководье!");
    add(3, 6480, 1680, 915, 750, kPictureImage3, false, Cursor::A, "Выбор цвета шрифта дней недели");
    add(4, 7440, 960, 1530, 1860, kPictureImage4, true, Cursor::Arrow, "Спас Нерукотворный");
    auto box = std::make_unique<PictureBox>("PctFon", 16560, 840, 2055, 1575, kPictureBackground);
    pctFon_ = box.get();
    controls_.push_back(box.get());
    store_.push_back(std::move(box));
}

Label& Inventory::label(int number) {
    Label* l = number >= 0 && number < 116 ? labels_[static_cast<std::size_t>(number)] : nullptr;
    if (!l) throw std::out_of_range("no single label number " + std::to_string(number));
    return *l;
}

LabelArray& Inventory::labelArray(int number) {
    if (!isLabelArray(number)) throw std::out_of_range("no label array number " + std::to_string(number));
    return arrays_[static_cast<std::size_t>(number)];
}

bool Inventory::isLabelArray(int number) const {
    return number >= 0 && number < 116 && isArray_[static_cast<std::size_t>(number)];
}

Timer& Inventory::timer(int number) { return *timers_.at(static_cast<std::size_t>(number - 1)); }

Image& Inventory::image(int number) {
    Image* i = number >= 1 && number <= 4 ? images_[static_cast<std::size_t>(number)] : nullptr;
    if (!i) throw std::out_of_range("no image number " + std::to_string(number));
    return *i;
}

std::vector<Label*> Inventory::labels() const {
    std::vector<Label*> out;
    for (Control* c : controls_)
        if (c->isLabel()) out.push_back(static_cast<Label*>(c));
    return out;
}

void Inventory::bringToFront(Control& c) {
    std::erase(stacking_, &c);
    stacking_.push_back(&c);
    ++stackingRevision_;
}

void Inventory::sendToBack(Control& c) {
    std::erase(stacking_, &c);
    stacking_.insert(stacking_.begin(), &c);
    ++stackingRevision_;
}

void Inventory::setMeasurer(const TextMeasurer* m) {
    for (Label* l : labels()) l->setMeasurer(m);
}

}  // namespace ladoslov
