// The Win32 services on the real system (run under wine by the Windows test script).

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include <windows.h>
#include <gdiplus.h>

#include "win32/form_window.h"
#include "win32/pictures.h"
#include "win32/win32_services.h"

namespace ladoslov::win32 {
namespace {

std::filesystem::path scratch(const char* name) {
    const auto dir = std::filesystem::temp_directory_path() / "ladoslov-win32-test" / name;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

void write(const std::filesystem::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
}

std::string sourceFile(const char* relative) {
    std::ifstream in(std::filesystem::path(LADOSLOV_SOURCE_DIR) / relative, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST(Win32Services, FindFirstFileSkipsFoldersAndIgnoresLetterCase) {
    const auto dir = scratch("find");
    std::filesystem::create_directory(dir / "ladoslov.dir");
    DiskFileSystem files;
    EXPECT_EQ(files.findFirstFile(dir, "ladoslov.*"), "");
    write(dir / "LADOSLOV.MID", "x");
    EXPECT_EQ(files.findFirstFile(dir, "ladoslov.*"), "LADOSLOV.MID");
    EXPECT_EQ(files.findFirstFile(dir / "missing", "ladoslov.*"), "");
    // A folder whose letters the ANSI code page may lack.
    const auto cyrillic = dir / L"Иван Петров \u0101";
    std::filesystem::create_directory(cyrillic);
    write(cyrillic / "ladoslov.mp3", "x");
    EXPECT_EQ(files.findFirstFile(cyrillic, "ladoslov.*"), "ladoslov.mp3");
}

TEST(Win32Services, OnlyWholeJpegPicturesAreLoadable) {
    GdiplusSession gdiplus;
    const auto dir = scratch("jpeg");
    const std::string jpeg = sourceFile("Data/ladoslov.jpg");
    ASSERT_GT(jpeg.size(), 1000u);
    std::string noise(4000, 'x');  // a JPEG's first and last marker around bytes that decode to nothing
    noise[0] = noise[3998] = '\xFF';
    noise[1] = '\xD8';
    noise[3999] = '\xD9';
    const struct {
        const char* name;
        std::string bytes;
        bool loadable;
    } cases[] = {
        {"whole.jpg", jpeg, true},
        {"padded.jpg", jpeg + std::string(16, '\0'), true},
        {"appended.jpg", jpeg + std::string(3000, 'x'), true},
        {"truncated.jpg", jpeg.substr(0, jpeg.size() / 2), false},
        {"truncated-appended.jpg", jpeg.substr(0, jpeg.size() / 2) + std::string(3000, 'x'), false},
        {"empty.jpg", "", false},
        {"gif.jpg", sourceFile("res/pictures/image1.gif"), false},
        {"noise.jpg", noise, false},
    };
    GdiplusPictureLoader loader;
    for (const auto& c : cases) {
        write(dir / c.name, c.bytes);
        EXPECT_EQ(loader.isLoadableJpeg(dir / c.name), c.loadable) << c.name;
    }
    EXPECT_FALSE(loader.isLoadableJpeg(dir));
    // The picture found loadable is the one handed over for its name; another is decoded for its own.
    ASSERT_TRUE(loader.isLoadableJpeg(dir / "whole.jpg"));
    const auto compiledIn = loader.take(kPictureImage4);
    const auto checked = loader.take((dir / "whole.jpg").string());
    ASSERT_NE(compiledIn, nullptr) << "compiled-in pictures are not reachable by their names";
    ASSERT_NE(checked, nullptr);
    EXPECT_EQ(checked->GetWidth(), 1680u);
    EXPECT_LT(compiledIn->GetWidth(), 1680u);
}

TEST(Win32Services, RefusedTuneCommandsNeverReachTheMessageBox) {
    // mciExecute would stop here with a message box if either command reached it.
    const auto dir = scratch("tune");
    write(dir / "ladoslov.mid", std::string(3000, '\x55'));
    auto command = [&](const char* verb) {
        std::string c(verb);
        c += " \"";
        c += (dir / "ladoslov.mid").string();
        c += '"';
        return c;
    };
    MciCommands mci;
    EXPECT_FALSE(mci.execute(command("stop")));
    EXPECT_FALSE(mci.execute(command("play")));
}

TEST(Win32Services, LongTimeHasSecondsAndTextRoundTrips) {
    UserLocaleFormats formats;
    const std::string time = formats.longTime(TimeOfDay{21, 5, 9});
    EXPECT_NE(time.find("05"), std::string::npos) << time;
    EXPECT_NE(time.find("09"), std::string::npos) << time;
    EXPECT_EQ(narrow(widen("Ладослов")), "Ладослов");
}

TEST(Win32View, TwipsRoundOutwardsToPixels) {
    const RECT r = pixelsAround(TwipsRect{7.5f, 22.0f, 15.0f, 1.0f}, 15.0);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 1);
    EXPECT_EQ(r.right, 2);
    EXPECT_EQ(r.bottom, 2);
}

}  // namespace
}  // namespace ladoslov::win32
