#include "platform/desktop_services.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImageReader>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScreen>
#include <QWidget>
#include <cmath>
#include <cstdlib>
#include <fstream>

#include "view/fonts.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace ladoslov {

double twipsPerPixel() {
    const QScreen* s = QGuiApplication::primaryScreen();
    const double dpi = s ? s->logicalDotsPerInchX() : 96.0;
    return 1440.0 / (dpi > 0 ? dpi : 96.0);
}

QLocale regionalLocale() {
    QLocale system = QLocale::system();
    if (system.language() == QLocale::C) return QLocale(QLocale::Russian, QLocale::Russia);
    return system;
}

QString timeFormatWithoutZone(const QString& longFormat) {
    QString out;
    bool quoted = false;
    for (QChar ch : longFormat) {
        if (ch == QLatin1Char('\'')) quoted = !quoted;
        if (!quoted && ch == QLatin1Char('t')) continue;
        out += ch;
    }
    // A zone that stood in brackets leaves them empty: "H:mm:ss (t)".
    static const QRegularExpression emptyBrackets(QStringLiteral("\\(\\s*\\)|\\[\\s*\\]"));
    out.remove(emptyBrackets);
    out = out.simplified();
    if (!out.contains(QLatin1Char('s'))) return QStringLiteral("HH:mm:ss");
    return out;
}

Date SystemClock::today() const {
    const QDate d = QDate::currentDate();
    return Date{d.year(), d.month(), d.day()};
}

TimeOfDay SystemClock::timeOfDay() const {
    const QTime t = QTime::currentTime();
    return TimeOfDay{t.hour(), t.minute(), t.second()};
}

std::uint32_t SystemClock::timerSeed() const {
    return static_cast<std::uint32_t>(QDateTime::currentMSecsSinceEpoch());
}

std::string LocaleFormats::shortDate(const Date& d) const {
    return locale_.toString(QDate(d.year, d.month, d.day), QLocale::ShortFormat).toStdString();
}

std::string LocaleFormats::longTime(const TimeOfDay& t) const {
    const QString format = timeFormatWithoutZone(locale_.timeFormat(QLocale::LongFormat));
    return locale_.toString(QTime(t.hour, t.minute, t.second), format).toStdString();
}

float MersenneRandom::next() {
    // 24 random bits: uniform in [0, 1) with single-precision resolution, never 1.
    return static_cast<float>(engine_() >> 8) * (1.0f / 16777216.0f);
}

Twips PrimaryScreen::width() const {
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? static_cast<Twips>(s->geometry().width() * twipsPerPixel()) : 15360;
}

Twips PrimaryScreen::height() const {
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? static_cast<Twips>(s->geometry().height() * twipsPerPixel()) : 11520;
}

const QFontMetricsF& FontMeasurer::metricsOf(const Font& font) const {
    for (const auto& [f, m] : metrics_)
        if (f == font) return m;
    metrics_.emplace_back(font, QFontMetricsF(toQFont(font, viewScale(tpp_))));
    return metrics_.back().second;
}

TwipsSize FontMeasurer::measure(std::string_view text, const Font& font, Twips wrapWidth) const {
    const QFontMetricsF& fm = metricsOf(font);
    const QString s = captionToQString(text);
    const double tpp = tpp_;
    if (wrapWidth > 0) {
        const QRectF r = fm.boundingRect(QRectF(0, 0, wrapWidth / tpp, 1e6), Qt::TextWordWrap | Qt::AlignLeft, s);
        return TwipsSize{wrapWidth, static_cast<Twips>(std::ceil(std::max(r.height(), fm.height())) * tpp)};
    }
    double width = 0;
    const QStringList lines = s.split(QLatin1Char('\n'));
    for (const QString& line : lines) width = std::max(width, fm.horizontalAdvance(line));
    return TwipsSize{static_cast<Twips>(std::ceil(width) * tpp),
                     static_cast<Twips>(std::ceil(fm.height() * static_cast<double>(lines.size())) * tpp)};
}

LockFileInstanceGuard::~LockFileInstanceGuard() {
#ifndef _WIN32
    if (fd_ >= 0) ::close(fd_);
#endif
}

bool LockFileInstanceGuard::anotherInstanceRunning() {
    if (checked_) return another_;
    checked_ = true;
#ifdef _WIN32
    // The mutex goes with the process, however it ends.
    ::CreateMutexW(nullptr, TRUE, L"Local\\LadoslovScreensaver");
    another_ = ::GetLastError() == ERROR_ALREADY_EXISTS;
#else
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const std::string dir = runtime && *runtime ? runtime : "/tmp";
    const std::string path = dir + "/ladoslov-" + std::to_string(::getuid()) + ".lock";
    fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ < 0) return another_ = false;  // without a lock file one copy still runs
    another_ = ::flock(fd_, LOCK_EX | LOCK_NB) != 0;
#endif
    return another_;
}

bool WidgetTopMost::makeTopMost() {
    if (!widget_) return false;
#ifdef _WIN32
    return ::SetWindowPos(reinterpret_cast<HWND>(widget_->winId()), HWND_TOPMOST, 0, 0, 0, 0,
                          SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE) != 0;
#else
    widget_->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    return true;
#endif
}

std::filesystem::path DiskFileSystem::executableDir() const {
    return std::filesystem::path(QCoreApplication::applicationDirPath().toStdString());
}

std::filesystem::path DiskFileSystem::installedDataDir() const {
#ifdef LADOSLOV_SHARE_FROM_BIN
    // From the executable's real folder (a link to it may stand elsewhere), so the prefix can move.
    std::error_code ec;
    const std::filesystem::path dir = std::filesystem::canonical(executableDir(), ec);
    if (!ec) return (dir / LADOSLOV_SHARE_FROM_BIN).lexically_normal();
#endif
    return {};
}

bool DiskFileSystem::isDirectory(const std::filesystem::path& p) const {
    std::error_code ec;
    return std::filesystem::is_directory(p, ec);
}

std::unique_ptr<std::istream> DiskFileSystem::openForReading(const std::filesystem::path& p) const {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(p, ec)) return nullptr;
    auto in = std::make_unique<std::ifstream>(p, std::ios::binary);
    if (!*in) return nullptr;
    return in;
}

std::string DiskFileSystem::findFirstFile(const std::filesystem::path& dir, std::string_view pattern) const {
    std::error_code ec;
    for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (!it->is_regular_file(typeError)) continue;
        const std::string name = it->path().filename().string();
        if (wildcardMatch(pattern, name)) return name;
    }
    return {};
}

bool wildcardMatch(std::string_view pattern, std::string_view name) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    std::size_t p = 0, n = 0, star = std::string_view::npos, mark = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || lower(pattern[p]) == lower(name[n]))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            mark = n;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            n = ++mark;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

bool JpegPictureLoader::isLoadableJpeg(const std::filesystem::path& p) const {
    QFile file(QString::fromStdString(p.string()));
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray data = file.readAll();
    // A JPEG starts with SOI and ends with EOI; the decoder would show a truncated one half grey.
    QByteArray tail = data.right(64);
    while (tail.endsWith('\0')) tail.chop(1);
    if (!data.startsWith("\xFF\xD8") || !tail.endsWith("\xFF\xD9")) return false;
    QImageReader reader(QString::fromStdString(p.string()), "jpeg");
    reader.setDecideFormatFromContent(false);
    // Decoding at an eighth of the size reads the whole stream at a fraction of the cost.
    const QSize size = reader.size();
    if (!size.isValid()) return false;
    reader.setScaledSize(QSize(std::max(1, size.width() / 8), std::max(1, size.height() / 8)));
    return !reader.read().isNull();
}

void DialogMessageBox::show(std::string_view title, std::string_view text) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size())),
                    QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())), QMessageBox::Ok);
    box.exec();
}

void EventLoopProcess::end(int exitCode) { QCoreApplication::exit(exitCode); }

}  // namespace ladoslov
