#pragma once
// The controls of the window as the window's design lists them. Positions and sizes are in twips.
// Every setter bumps the control's revision, so a view can mirror exactly what changed.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace ladoslov {

class TextMeasurer;

using Twips = float;  // single precision, as the window keeps positions

struct TwipsSize {
    Twips width = 0;
    Twips height = 0;
};

// 0xRRGGBB, or kSystemText: the desktop's button-text colour.
using Colour = std::uint32_t;
inline constexpr Colour kSystemText = 0x80000012u;

inline constexpr std::array<Colour, 16> kPalette = {
    0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xC0C0C0,
    0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF,
};
inline constexpr Colour kRed = kPalette[12];
inline constexpr Colour kBlue = kPalette[9];
inline constexpr Colour kYellow = kPalette[14];

inline const char* const kTimesNewRoman = "Times New Roman";
inline const char* const kMsSansSerif = "MS Sans Serif";

struct Font {
    std::string name;
    double size = 8.25;  // points, fractions kept
    bool bold = true;
    bool italic = false;
    friend bool operator==(const Font&, const Font&) = default;
};

enum class Cursor { Arrow, A, B };
enum class BorderStyle { None, FixedSingle };
enum class ControlKind { Label, Image, PictureBox };

class Control {
public:
    Control(ControlKind kind, std::string name, int index, Twips left, Twips top, Twips width, Twips height);
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    ControlKind kind() const { return kind_; }
    bool isLabel() const { return kind_ == ControlKind::Label; }
    const std::string& name() const { return name_; }
    int index() const { return index_; }  // element of a control array, or -1
    std::string displayName() const;      // "Label10(36)"

    Twips left() const { return left_; }
    Twips top() const { return top_; }
    Twips width() const { return width_; }
    Twips height() const { return height_; }
    void setLeft(Twips v);
    void setTop(Twips v);
    void move(Twips left, Twips top);
    // Where the window's design puts the control, before start-up places it on the screen.
    Twips designLeft() const { return designLeft_; }
    Twips designTop() const { return designTop_; }

    bool visible() const { return visible_; }
    void setVisible(bool v);
    const std::string& toolTip() const { return toolTip_; }
    void setToolTip(std::string_view text);
    Cursor cursor() const { return cursor_; }
    void setCursor(Cursor c);

    std::uint64_t revision() const { return revision_; }

protected:
    void setSize(Twips width, Twips height);
    void touch() { ++revision_; }
    // Sets a property; only a new value counts as a change, so the view repaints nothing for the same one.
    template <typename Field, typename Value>
    bool change(Field& field, const Value& value) {
        if (field == value) return false;
        field = value;
        touch();
        return true;
    }

private:
    ControlKind kind_;
    std::string name_;
    int index_;
    Twips left_, top_, width_, height_;
    Twips designLeft_, designTop_;
    bool visible_ = true;
    std::string toolTip_;
    Cursor cursor_ = Cursor::Arrow;
    std::uint64_t revision_ = 1;
};

class Label final : public Control {
public:
    struct Design {
        std::string caption;
        Twips left = 0, top = 0, width = 0, height = 0;
        Font font;
        Colour foreColour = kSystemText;
        bool autoSize = false;
        bool wordWrap = false;
        Cursor cursor = Cursor::Arrow;
        std::string toolTip;
    };
    Label(std::string name, int index, const Design& d);

    const std::string& caption() const { return caption_; }  // UTF-8; a line break is "\r\n"
    void setCaption(std::string_view text);
    Colour foreColour() const { return foreColour_; }
    void setForeColour(Colour c);
    const Font& font() const { return font_; }
    void setFontSize(double points);
    BorderStyle borderStyle() const { return border_; }
    void setBorderStyle(BorderStyle b);
    bool autoSize() const { return autoSize_; }
    bool wordWrap() const { return wordWrap_; }

    // Auto-size labels take their size from this measurer whenever caption or font change.
    void setMeasurer(const TextMeasurer* m);

private:
    void fitToText();

    std::string caption_;
    Colour foreColour_;
    Font font_;
    BorderStyle border_ = BorderStyle::None;
    bool autoSize_;
    bool wordWrap_;
    const TextMeasurer* measurer_ = nullptr;
};

// A picture shown at its own pixel size; `picture` names a compiled-in resource or a file.
class Image final : public Control {
public:
    Image(std::string name, Twips left, Twips top, Twips width, Twips height, std::string picture, bool sunkenFrame,
          Cursor cursor, std::string_view toolTip);
    const std::string& picture() const { return picture_; }
    bool sunkenFrame() const { return sunkenFrame_; }
    // A manual drag begun by the handler; the view carries it out and reports the drop.
    bool dragRequested() const { return dragRequested_; }
    void beginDrag();
    void endDrag();

private:
    std::string picture_;
    bool sunkenFrame_;
    bool dragRequested_ = false;
};

class PictureBox final : public Control {
public:
    PictureBox(std::string name, Twips left, Twips top, Twips width, Twips height, std::string picture);
    const std::string& picture() const { return picture_; }
    void loadPicture(std::string source);

private:
    std::string picture_;
};

class Timer {
public:
    Timer(std::string name, int intervalMs) : name_(std::move(name)), interval_(intervalMs) {}
    const std::string& name() const { return name_; }
    int interval() const { return interval_; }
    bool enabled() const { return enabled_; }
    void setEnabled(bool e) {
        if (e != enabled_) ++revision_;
        enabled_ = e;
    }
    std::uint64_t revision() const { return revision_; }

private:
    std::string name_;
    int interval_;
    bool enabled_ = true;
    std::uint64_t revision_ = 1;
};

}  // namespace ladoslov
