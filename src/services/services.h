#pragma once
// What the window's handlers need of the platform. The program hands in the real services
// (src/qt, src/win32); tests hand in fakes.

#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/date.h"
#include "screen/controls.h"

namespace ladoslov {

class Clock {
public:
    virtual ~Clock() = default;
    virtual Date today() const = 0;
    virtual TimeOfDay timeOfDay() const = 0;
    // A value of the system timer, to seed the random generator with.
    virtual std::uint32_t timerSeed() const = 0;
};

class RegionalFormats {
public:
    virtual ~RegionalFormats() = default;
    virtual std::string shortDate(const Date& d) const = 0;
    // Hours, minutes and seconds in the user's long time format, without a time-zone name.
    virtual std::string longTime(const TimeOfDay& t) const = 0;
};

class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual void seed(std::uint32_t value) = 0;
    // Uniform in [0, 1), never 1.
    virtual float next() = 0;
};

class ScreenInfo {
public:
    virtual ~ScreenInfo() = default;
    virtual Twips width() const = 0;
    virtual Twips height() const = 0;
};

class TextMeasurer {
public:
    virtual ~TextMeasurer() = default;
    // The size an auto-size label takes for this text. With wrapWidth > 0 the text wraps at that width
    // and only the height is of interest.
    virtual TwipsSize measure(std::string_view text, const Font& font, Twips wrapWidth) const = 0;
    // The window is drawn at this scale from now on: a measurer of the fonts drawn follows it.
    virtual void drawAt(double twipsPerPixel) { (void)twipsPerPixel; }
};

class InstanceGuard {
public:
    virtual ~InstanceGuard() = default;
    // True when another copy of the program is running. The first call claims the instance.
    virtual bool anotherInstanceRunning() = 0;
};

class TopMost {
public:
    virtual ~TopMost() = default;
    virtual bool makeTopMost() = 0;
};

// Stands in for the platform's multimedia command interface: "play "<path>"" and "stop "<path>"".
class MultimediaCommands {
public:
    virtual ~MultimediaCommands() = default;
    virtual bool execute(std::string_view command) = 0;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    virtual std::filesystem::path executableDir() const = 0;
    // The installation's folder of the program's data (share/ladoslov beside the executable's bin), or "".
    virtual std::filesystem::path installedDataDir() const { return {}; }
    virtual bool isDirectory(const std::filesystem::path& p) const = 0;
    // A regular file opened for binary reading, or nullptr.
    virtual std::unique_ptr<std::istream> openForReading(const std::filesystem::path& p) const = 0;
    // Name (without folder) of the first regular file in dir, in directory-listing order, that matches a
    // wildcard pattern ('*', '?'; letter case ignored, as the platform's search does), or "".
    virtual std::string findFirstFile(const std::filesystem::path& dir, std::string_view pattern) const = 0;
};

// The program's own folders, where its Data and muz are looked for: beside the executable, then the
// installation's data folder.
inline std::vector<std::filesystem::path> programFolders(const FileSystem& files) {
    std::vector<std::filesystem::path> folders{files.executableDir()};
    if (std::filesystem::path installed = files.installedDataDir(); !installed.empty()) folders.push_back(installed);
    return folders;
}

// Where `relative` is looked for, in order: the working directory, then the program's own folders.
inline std::vector<std::filesystem::path> searchPaths(const FileSystem& files, const std::filesystem::path& relative) {
    std::vector<std::filesystem::path> paths{relative};
    for (const std::filesystem::path& own : programFolders(files)) paths.push_back(own / relative);
    return paths;
}

class PictureLoader {
public:
    virtual ~PictureLoader() = default;
    // True when the file holds a complete, decodable JPEG picture.
    virtual bool isLoadableJpeg(const std::filesystem::path& p) const = 0;
};

class MessageBox {
public:
    virtual ~MessageBox() = default;
    // One OK button; returns when it is closed. owner: the native window it belongs to, 0 for none.
    virtual void show(std::string_view title, std::string_view text, std::uint64_t owner) = 0;
};

class Process {
public:
    virtual ~Process() = default;
    // Ends the program with the exit code; no unload handler runs.
    virtual void end(int exitCode) = 0;
};

struct Services {
    Clock& clock;
    RegionalFormats& regional;
    RandomSource& random;
    ScreenInfo& screen;
    TextMeasurer& measurer;
    InstanceGuard& instance;
    TopMost& topMost;
    MultimediaCommands& multimedia;
    FileSystem& files;
    PictureLoader& pictures;
    MessageBox& messageBox;
    Process& process;
    std::string commandLine;  // the program's arguments joined by spaces
    // Drawn inside a window a host handed over (a preview, a hack's window) rather than over the screen.
    bool insideHost = false;
};

}  // namespace ladoslov
