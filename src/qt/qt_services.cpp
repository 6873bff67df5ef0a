#include "qt/qt_services.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImageReader>
#include <QMessageBox>
#include <QScreen>
#include <QWidget>
#include <cmath>
#include <cstdlib>
#include <fstream>

#include "qt/fonts.h"

#include <fcntl.h>
#include <unistd.h>

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
    // A zone that stood in brackets leaves them empty: "H:mm:ss (t)". (Scanned by hand: a regular
    // expression would load and compile its engine for this alone.)
    for (qsizetype open = 0; open < out.size();) {
        const QChar c = out[open];
        const QChar close = c == QLatin1Char('(') ? QLatin1Char(')') : c == QLatin1Char('[') ? QLatin1Char(']') : QChar();
        qsizetype end = open + 1;
        while (end < out.size() && out[end].isSpace()) ++end;
        if (!close.isNull() && end < out.size() && out[end] == close)
            out.remove(open, end - open + 1);
        else
            ++open;
    }
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
    if (wrapWidth > 0) {
        const QRectF r = fm.boundingRect(QRectF(0, 0, wrapWidth / tpp_, 1e6), Qt::TextWordWrap | Qt::AlignLeft, s);
        return TwipsSize{wrapWidth, static_cast<Twips>(std::ceil(std::max(r.height(), fm.height())) * tpp_)};
    }
    double width = 0;
    const QStringList lines = s.split(QLatin1Char('\n'));
    for (const QString& line : lines) width = std::max(width, fm.horizontalAdvance(line));
    return TwipsSize{static_cast<Twips>(std::ceil(width) * tpp_),
                     static_cast<Twips>(std::ceil(fm.height() * static_cast<double>(lines.size())) * tpp_)};
}

LockFileInstanceGuard::~LockFileInstanceGuard() {
    if (fd_ >= 0) ::close(fd_);
}

bool LockFileInstanceGuard::anotherInstanceRunning() {
    if (checked_) return another_;
    checked_ = true;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const std::string dir = runtime && *runtime ? runtime : "/tmp";
    const std::string path = dir + "/ladoslov-" + std::to_string(::getuid()) + ".lock";
    fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ < 0) return another_ = false;  // without a lock file one copy still runs
    // A record lock belongs to this process alone: a child forked meanwhile (one that hangs before its
    // exec, say) does not inherit it and cannot hold it after this copy has ended.
    struct flock whole {};
    whole.l_type = F_WRLCK;
    whole.l_whence = SEEK_SET;
    another_ = ::fcntl(fd_, F_SETLK, &whole) != 0;
    return another_;
}

bool WidgetTopMost::makeTopMost() {
    if (!widget_) return false;
    widget_->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    return true;
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

namespace {

// The picture file as the decoder reads it, noting whether the decoder asked for bytes past the end: a
// JPEG cut short sends it looking for an end-of-image marker that never comes (it then makes one up and
// shows the rest grey). Bytes after a real end marker are never asked for.
class EndWatchingFile final : public QIODevice {
public:
    explicit EndWatchingFile(const QString& path) : file_(path) {}
    bool open() {
        return file_.open(QIODevice::ReadOnly) && QIODevice::open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    bool readPastEnd() const { return readPastEnd_; }
    bool isSequential() const override { return false; }
    qint64 size() const override { return file_.size(); }
    bool seek(qint64 pos) override { return QIODevice::seek(pos) && file_.seek(pos); }

protected:
    qint64 readData(char* data, qint64 maxSize) override {
        const qint64 n = file_.read(data, maxSize);
        if (n <= 0 && maxSize > 0) readPastEnd_ = true;
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QFile file_;
    bool readPastEnd_ = false;
};

}  // namespace

bool JpegPictureLoader::isLoadableJpeg(const std::filesystem::path& p) const {
    EndWatchingFile file(QString::fromStdString(p.string()));
    if (!file.open()) return false;
    QImageReader reader(&file, "jpeg");
    reader.setDecideFormatFromContent(false);
    const QSize size = reader.size();
    if (!size.isValid()) return false;
    // Decoded at an eighth of its size (at most 2048 pixels a side), the whole stream is read at a fraction of
    // the cost and memory of the full picture.
    QSize scaled(std::max(1, size.width() / 8), std::max(1, size.height() / 8));
    if (scaled.width() > 2048 || scaled.height() > 2048) scaled.scale(2048, 2048, Qt::KeepAspectRatio);
    reader.setScaledSize(scaled);
    return !reader.read().isNull() && !file.readPastEnd();
}

void DialogMessageBox::show(std::string_view title, std::string_view text, std::uint64_t) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size())),
                    QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())), QMessageBox::Ok);
    box.exec();
}

void EventLoopProcess::end(int exitCode) { QCoreApplication::exit(exitCode); }

}  // namespace ladoslov
