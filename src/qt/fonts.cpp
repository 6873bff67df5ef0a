#include "qt/fonts.h"

#include "qt/qt_services.h"

#include <QFontDatabase>
#include <QStringList>

namespace ladoslov {

namespace {

QString familyFor(const std::string& name) {
    const QString wanted = QString::fromStdString(name);
    if (QFontDatabase::families().contains(wanted)) return wanted;
    if (name == kTimesNewRoman) return QStringLiteral("Liberation Serif");
    if (name == kMsSansSerif) return QStringLiteral("Liberation Sans");
    return wanted;
}

}  // namespace

QFont toQFont(const Font& font, double scale) {
    static const QString serif = familyFor(kTimesNewRoman);
    static const QString sans = familyFor(kMsSansSerif);
    QFont f(font.name == kTimesNewRoman ? serif : font.name == kMsSansSerif ? sans : familyFor(font.name));
    f.setPointSizeF(font.size * scale);
    f.setWeight(font.bold ? QFont::Bold : QFont::Normal);
    f.setItalic(font.italic);
    return f;
}

double viewScale(double twipsPerPixel) { return ladoslov::twipsPerPixel() / twipsPerPixel; }

QString captionToQString(std::string_view caption) {
    QString s = QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size()));
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return s;
}

}  // namespace ladoslov
