#pragma once
// Form1: the one window, every control of its design, the values it keeps between events, and its
// event handlers. The handlers are defined in the source folders of their subsystems.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "screen/controls.h"
#include "screen/inventory.h"
#include "services/services.h"

namespace ladoslov {

// The two fill counters of a month, as the window keeps them.
struct FillCounters {
    std::int16_t cellIndex = 0;
    std::int16_t dayNumber = 1;
};

enum class WindowState { Normal, Minimized, Maximized };

inline constexpr Twips kDesignScreenWidth = 15360;
inline constexpr Twips kDesignScreenHeight = 11520;
inline constexpr int kKeyF10 = 121;

class Form1 {
public:
    explicit Form1(Services& services);
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    // ---- controls -------------------------------------------------------------------------------
    Inventory& inventory() { return inventory_; }
    const Inventory& inventory() const { return inventory_; }
    Label& label(int number) { return inventory_.label(number); }
    LabelArray& labelArray(int number) { return inventory_.labelArray(number); }
    Timer& timer(int number) { return inventory_.timer(number); }
    Image& image(int number) { return inventory_.image(number); }

    // ---- the window itself ----------------------------------------------------------------------
    const std::string& caption() const { return caption_; }
    Twips left() const { return left_; }
    Twips top() const { return top_; }
    Twips width() const { return width_; }
    Twips height() const { return height_; }
    void moveWindow(Twips left, Twips top);
    void setWindowSize(Twips width, Twips height);
    WindowState windowState() const { return windowState_; }
    void setWindowState(WindowState s);
    // The background picture painted stretched over the client area (until then the face colour shows).
    bool backgroundPainted() const { return backgroundPainted_; }
    void paintBackground();
    std::uint64_t windowRevision() const { return windowRevision_; }
    bool ended() const { return ended_; }
    // Form_Load has run to its end: the layout stands and the tune has had its first play.
    bool loaded() const { return loaded_; }
    int exitCode() const { return exitCode_; }

    // ---- values kept on the window --------------------------------------------------------------
    std::array<FillCounters, 12> fillCounters{};
    std::string TunePath;
    std::string TodayNamesLine;
    float GrabX = 0;
    float GrabY = 0;
    std::int16_t leapYearVariable = 0;

    // ---- events, as the view delivers them ------------------------------------------------------
    void click(Control& c);
    void dblClick(Control& c);
    void mouseDown(Control& c, int button, int shift, Twips x, Twips y);
    void timerTick(int number);
    // True while any month's FillTimer still runs.
    bool filling() const;
    // The twelve month titles, the five caption labels and Image1 … Image3 react to a click.
    bool reactsToClick(const Control& c) const;
    int monthOfTitle(const Control& c) const;  // 1 … 12, or 0

    // ---- handlers -------------------------------------------------------------------------------
    void CheckCommandLine();
    void Form_Load();
    void Form_Unload();
    void Form_Click();
    void Form_KeyPress(char32_t character);
    void Form_KeyDown(int keyCode, int shift);
    void Form_KeyUp(int keyCode, int shift);
    void Form_DragDrop(Control& source, Twips x, Twips y);
    // The screen drawn into has a new size or scale (a host's preview that grows, a monitor's new mode):
    // the design is laid out for it again as start-up lays it out, captions, colours and state kept.
    void Form_Resize();
    bool LeapYear(std::int16_t& year);

    void FillTimer(int month);
    void MonthTitle_Click(int month);
    void Timer13_Timer();
    void Timer14_Timer();

    void Label12_Click();
    void Label112_Click();
    void Label113_Click();
    void Label114_Click();
    void Label115_Click();
    void Image1_Click();
    void Image1_DblClick();
    void Image2_Click();
    void Image2_MouseDown(int button, int shift, Twips x, Twips y);
    void Image3_Click();

    Colour RandomPaletteColour();

    // Start-up steps that belong to other subsystems.
    void NameMovableFeast();
    void StartTune();
    void ShowTodayNames();
    void ShowPrayer();
    void RestoreTodayNames();
    void SendTuneCommand(std::string_view verb);

    Services& services() { return services_; }
    const Services& services() const { return services_; }

private:
    void endProgram(int exitCode);
    void closeWindow();
    void placePictures();
    void recentreLayout();
    void centreFeastLine();

    Services& services_;
    Inventory inventory_;

public:
    Image& Image1 = inventory_.image(1);
    Image& Image2 = inventory_.image(2);
    Image& Image3 = inventory_.image(3);
    Image& Image4 = inventory_.image(4);
    PictureBox& PctFon = inventory_.pictureBox();
    // The caption labels that handlers name.
    Label& Label1 = inventory_.label(1);
    Label& Label2 = inventory_.label(2);
    Label& Label12 = inventory_.label(12);
    Label& Label112 = inventory_.label(112);
    Label& Label113 = inventory_.label(113);
    Label& Label114 = inventory_.label(114);
    Label& Label115 = inventory_.label(115);

private:
    std::string caption_ = "Form1";
    Twips left_ = 0, top_ = 0, width_ = 20910, height_ = 13515;
    WindowState windowState_ = WindowState::Normal;
    std::uint64_t windowRevision_ = 1;
    bool backgroundPainted_ = false;
    bool image2Dropped_ = false;
    bool unloaded_ = false;
    bool loaded_ = false;
    bool ended_ = false;
    int exitCode_ = 0;
};

}  // namespace ladoslov
