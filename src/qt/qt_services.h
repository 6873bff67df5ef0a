#pragma once
// The real platform services of the desktop program.

#include <QFontMetricsF>
#include <QLocale>
#include <QString>
#include <utility>
#include <vector>

#include "services/mersenne_random.h"
#include "services/services.h"
#include "services/standard_files.h"

class QWidget;

namespace ladoslov {

// Twips per pixel of the primary screen: 1440 / logical dots per inch (15 at 96 dpi).
double twipsPerPixel();

// The regional settings; where the system has none (the C locale) the program's own Russian ones serve.
QLocale regionalLocale();
// A long time format without its time-zone name, with hours, minutes and seconds.
QString timeFormatWithoutZone(const QString& longFormat);

class SystemClock final : public Clock {
public:
    Date today() const override;
    TimeOfDay timeOfDay() const override;
    std::uint32_t timerSeed() const override;
};

class LocaleFormats final : public RegionalFormats {
public:
    explicit LocaleFormats(QLocale locale = regionalLocale()) : locale_(std::move(locale)) {}
    std::string shortDate(const Date& d) const override;
    std::string longTime(const TimeOfDay& t) const override;

private:
    QLocale locale_;
};

class PrimaryScreen final : public ScreenInfo {
public:
    Twips width() const override;
    Twips height() const override;
};

// Text measured in the fonts the view draws with at twipsPerPixel: at a larger one than the screen's
// (a scaled-down preview) the fonts shrink with the layout, so a label keeps its size in twips.
class FontMeasurer final : public TextMeasurer {
public:
    explicit FontMeasurer(double twipsPerPixel = ladoslov::twipsPerPixel()) : tpp_(twipsPerPixel) {}
    TwipsSize measure(std::string_view text, const Font& font, Twips wrapWidth) const override;
    void drawAt(double twipsPerPixel) override {
        tpp_ = twipsPerPixel;
        metrics_.clear();
    }

private:
    // The window uses a handful of fonts; their metrics are built once.
    const QFontMetricsF& metricsOf(const Font& font) const;
    mutable std::vector<std::pair<Font, QFontMetricsF>> metrics_;
    double tpp_;
};

// One copy per user: an advisory record lock on a file that the kernel drops with the process, so a
// crashed copy leaves nothing stale behind. Record locks are per process: a second guard in the same
// process does not see the first, and closing any descriptor of the file there drops the lock.
class LockFileInstanceGuard final : public InstanceGuard {
public:
    ~LockFileInstanceGuard() override;
    bool anotherInstanceRunning() override;

private:
    int fd_ = -1;
    bool checked_ = false;
    bool another_ = false;
};

class WidgetTopMost final : public TopMost {
public:
    void attach(QWidget* w) { widget_ = w; }
    bool makeTopMost() override;

private:
    QWidget* widget_ = nullptr;
};

class DiskFileSystem final : public StandardFiles {
public:
    std::filesystem::path executableDir() const override;
    std::filesystem::path installedDataDir() const override;
    std::string findFirstFile(const std::filesystem::path& dir, std::string_view pattern) const override;
};

// Matches a file name against a wildcard pattern ('*', '?'), ignoring the letter case of ASCII letters.
bool wildcardMatch(std::string_view pattern, std::string_view name);

class JpegPictureLoader final : public PictureLoader {
public:
    bool isLoadableJpeg(const std::filesystem::path& p) const override;
};

class DialogMessageBox final : public MessageBox {
public:
    void show(std::string_view title, std::string_view text, std::uint64_t owner) override;
};

class EventLoopProcess final : public Process {
public:
    void end(int exitCode) override;
};

}  // namespace ladoslov
