#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTime>
#include <fstream>
#include <functional>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "qt/qt_services.h"

using namespace ladoslov;

namespace {

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray jpegBytes() {
    // Noise: the image data fills most of the file, so a cut lands in it.
    QImage image(64, 48, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) image.setPixel(x, y, qRgb(x * 37 % 256, y * 91 % 256, (x * y) % 256));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG");
    return bytes;
}

}  // namespace

TEST(BackgroundPicture, OnlyACompleteJpegIsTakenTrailingBytesOrNot) {
    QTemporaryDir dir;
    const QByteArray good = jpegBytes();
    ASSERT_GT(good.size(), 100);
    QImage png(8, 8, QImage::Format_RGB32);
    png.fill(Qt::red);
    png.save(dir.filePath("png.jpg"), "PNG");
    writeBytes(dir.filePath("good.jpg"), good);
    writeBytes(dir.filePath("empty.jpg"), {});
    writeBytes(dir.filePath("truncated.jpg"), good.left(good.size() / 2));
    writeBytes(dir.filePath("no-end-marker.jpg"), good.left(good.size() - 2));
    // Cameras and editors leave padding or data of their own after the end marker.
    writeBytes(dir.filePath("trailer.jpg"), good + QByteArray(300, '\0') + "appended data");
    writeBytes(dir.filePath("text.jpg"), "not a picture at all");
    QDir(dir.path()).mkdir("folder.jpg");

    JpegPictureLoader loader;
    auto at = [&](const char* name) { return std::filesystem::path(dir.filePath(name).toStdString()); };
    EXPECT_TRUE(loader.isLoadableJpeg(at("good.jpg")));
    EXPECT_TRUE(loader.isLoadableJpeg(at("trailer.jpg")));
    for (const char* bad :
         {"missing.jpg", "empty.jpg", "truncated.jpg", "no-end-marker.jpg", "text.jpg", "png.jpg", "folder.jpg"})
        EXPECT_FALSE(loader.isLoadableJpeg(at(bad))) << bad;
}

namespace {

// The lock is per process: every copy here is a process of its own. Runs body in a forked process and
// returns its exit code.
int exitCodeOfChild(const std::function<int()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(body());
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// 1 when a copy started now takes itself for a second one, 0 when it runs.
int newCopySeesAnother() {
    return exitCodeOfChild([] { return LockFileInstanceGuard().anotherInstanceRunning() ? 1 : 0; });
}

}  // namespace

TEST(InstanceGuard, OneCopyAtATimeAndNoStaleLock) {
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
    {
        // A lock file left behind by a copy that crashed holds no lock.
        std::ofstream(runtime.filePath(QString("ladoslov-%1.lock").arg(::getuid())).toStdString()) << "stale";
    }
    {
        LockFileInstanceGuard first;
        EXPECT_FALSE(first.anotherInstanceRunning());
        EXPECT_EQ(newCopySeesAnother(), 1);
        EXPECT_EQ(newCopySeesAnother(), 1);
        EXPECT_FALSE(first.anotherInstanceRunning());  // asked again, same answer
    }
    EXPECT_EQ(newCopySeesAnother(), 0);
}

TEST(InstanceGuard, AForkedChildThatOutlivesTheCopyHoldsNoLock) {
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
    int hold[2], report[2];
    ASSERT_EQ(::pipe(hold), 0);    // the stuck child waits on it until the end of the test
    ASSERT_EQ(::pipe(report), 0);  // the copy tells its child's pid
    const int copy = exitCodeOfChild([&] {
        pid_t child = -1;
        {
            LockFileInstanceGuard guard;
            if (guard.anotherInstanceRunning()) return 1;
            child = ::fork();  // inherits the lock file's descriptor, never execs
            if (child == 0) {
                ::close(hold[1]);
                char c;
                (void)!::read(hold[0], &c, 1);
                ::_exit(0);
            }
        }
        return ::write(report[1], &child, sizeof child) == sizeof child ? 0 : 2;
    });
    ASSERT_EQ(copy, 0);
    pid_t child = -1;
    ASSERT_EQ(::read(report[0], &child, sizeof child), static_cast<ssize_t>(sizeof child));
    ASSERT_EQ(::kill(child, 0), 0) << "the child has gone";
    EXPECT_EQ(newCopySeesAnother(), 0);
    EXPECT_EQ(::kill(child, 0), 0) << "the child had gone before the new copy started";
    for (int fd : {hold[0], hold[1], report[0], report[1]}) ::close(fd);
}

TEST(FileSearch, WildcardIgnoresLetterCaseAndTakesTheListingsFirst) {
    EXPECT_TRUE(wildcardMatch("ladoslov.*", "ladoslov.mid"));
    EXPECT_TRUE(wildcardMatch("ladoslov.*", "LADOSLOV.MID"));
    EXPECT_TRUE(wildcardMatch("ladoslov.*", "ladoslov."));
    EXPECT_FALSE(wildcardMatch("ladoslov.*", "ladoslov"));
    EXPECT_FALSE(wildcardMatch("ladoslov.*", "xladoslov.mid"));
    EXPECT_TRUE(wildcardMatch("a?c*", "abcdef"));

    QTemporaryDir dir;
    DiskFileSystem fs;
    const std::filesystem::path root = dir.path().toStdString();
    EXPECT_EQ(fs.findFirstFile(root / "none", "ladoslov.*"), "");
    QDir(dir.path()).mkdir("ladoslov.dir");  // only normal files count
    writeBytes(dir.filePath("other.mid"), "x");
    EXPECT_EQ(fs.findFirstFile(root, "ladoslov.*"), "");
    writeBytes(dir.filePath("LADOSLOV.MID"), "x");
    EXPECT_EQ(fs.findFirstFile(root, "ladoslov.*"), "LADOSLOV.MID");
    EXPECT_TRUE(fs.isDirectory(root));
    EXPECT_FALSE(fs.openForReading(root));
    EXPECT_TRUE(fs.openForReading(root / "other.mid"));
}

TEST(RegionalFormats, LongTimeHasSecondsAndNoZone) {
    EXPECT_EQ(timeFormatWithoutZone("HH:mm:ss t"), "HH:mm:ss");
    EXPECT_EQ(timeFormatWithoutZone("h:mm:ss AP t"), "h:mm:ss AP");
    EXPECT_EQ(timeFormatWithoutZone("HH:mm:ss 'at' tttt"), "HH:mm:ss 'at'");
    EXPECT_EQ(timeFormatWithoutZone("HH:mm"), "HH:mm:ss");
    EXPECT_EQ(timeFormatWithoutZone("H:mm:ss (t)"), "H:mm:ss");
    EXPECT_EQ(timeFormatWithoutZone("[ t ] H:mm:ss (x)"), "H:mm:ss (x)");

    const TimeOfDay t{9, 5, 7};
    EXPECT_EQ(LocaleFormats(QLocale(QLocale::Russian, QLocale::Russia)).longTime(t), "09:05:07");
    const std::string us = LocaleFormats(QLocale(QLocale::English, QLocale::UnitedStates)).longTime(t);
    EXPECT_NE(us.find("9:05:07"), std::string::npos) << us;
    EXPECT_EQ(us.find("UTC"), std::string::npos) << us;
    EXPECT_EQ(LocaleFormats(QLocale(QLocale::Russian, QLocale::Russia)).shortDate(Date{2026, 12, 6}), "06.12.2026");
}

TEST(RandomSource, StaysBelowOne) {
    MersenneRandom r;
    r.seed(7);
    float highest = 0;
    for (int i = 0; i < 200000; ++i) {
        const float v = r.next();
        ASSERT_GE(v, 0.0f);
        ASSERT_LT(v, 1.0f);
        highest = std::max(highest, v);
    }
    EXPECT_GT(highest, 0.999f);
}
