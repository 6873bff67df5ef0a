// The clock's text in the user's long time format: hours, minutes and seconds, never a time zone.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QTimeZone>

#include "qt/qt_services.h"

using namespace ladoslov;

namespace {

struct LocaleCase {
    const char* locale;
    TimeOfDay time;
    const char* text;
};

class ClockText : public ::testing::TestWithParam<LocaleCase> {};

TEST_P(ClockText, LongTimeWithSecondsAndNoZone) {
    const LocaleCase& c = GetParam();
    const std::string text = LocaleFormats(QLocale(QString::fromLatin1(c.locale))).longTime(c.time);
    EXPECT_EQ(text, c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Locales, ClockText,
    ::testing::Values(LocaleCase{"ru_RU", {9, 5, 7}, "09:05:07"}, LocaleCase{"ru_RU", {0, 0, 0}, "00:00:00"},
                      LocaleCase{"ru_RU", {23, 59, 59}, "23:59:59"}, LocaleCase{"uk_UA", {9, 5, 7}, "09:05:07"},
                      LocaleCase{"de_DE", {9, 5, 7}, "09:05:07"}, LocaleCase{"en_GB", {21, 5, 7}, "21:05:07"},
                      LocaleCase{"en_US", {9, 5, 7}, "9:05:07 AM"}, LocaleCase{"en_US", {21, 5, 7}, "9:05:07 PM"},
                      LocaleCase{"en_US", {0, 0, 0}, "12:00:00 AM"}, LocaleCase{"fi_FI", {9, 5, 7}, "9.05.07"},
                      // Zone first in the format: nothing left in front of the time.
                      LocaleCase{"zh_CN", {9, 5, 7}, "09:05:07"}, LocaleCase{"ja_JP", {9, 5, 7}, "9時05分07秒"},
                      LocaleCase{"ko_KR", {9, 5, 7}, "오전 9시 5분 7초"},
                      // Quoted text of the format stays.
                      LocaleCase{"bg_BG", {9, 5, 7}, "9:05:07 ч."}),
    [](const auto& info) {
        return std::string(info.param.locale) + "_" + std::to_string(info.param.time.hour);
    });

// Whatever zone the machine runs in, its name never shows.
TEST(ClockText, NoZoneNameInAnyLocale) {
    const QByteArray savedTz = qgetenv("TZ");
    qputenv("TZ", "Europe/Moscow");
    tzset();
    const QString zone = QTimeZone::systemTimeZone().abbreviation(QDateTime::currentDateTime());
    for (const QLocale& l : QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory)) {
        if (l.zeroDigit() != QLatin1Char('0')) continue;  // native digits: the digit checks below are Latin
        const QString text = QString::fromStdString(LocaleFormats(l).longTime(TimeOfDay{13, 5, 7}));
        EXPECT_FALSE(text.contains(QLatin1String("UTC")) || text.contains(QLatin1String("GMT")) ||
                     (!zone.isEmpty() && text.contains(zone)))
            << l.name().toStdString() << ": " << text.toStdString();
        EXPECT_TRUE(text.contains(QLatin1String("05")) || text.contains(QLatin1String("5")))
            << l.name().toStdString() << ": " << text.toStdString();
        EXPECT_TRUE(text.contains(QLatin1Char('7'))) << l.name().toStdString() << ": " << text.toStdString();
    }
    if (savedTz.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", savedTz);
    tzset();
}

// Run in a child process with the environment's locale: prints the clock text the program would show.
TEST(ClockText, ChildPrintsTheSystemClockText) {
    if (!qEnvironmentVariableIsSet("LADOSLOV_CLOCK_CHILD")) GTEST_SKIP() << "only run by SystemLocaleDecides";
    std::printf("CLOCK[%s]\n", LocaleFormats().longTime(TimeOfDay{9, 5, 7}).c_str());
}

TEST(ClockText, SystemLocaleDecidesAndTheCLocaleGivesTheRussianOne) {
    const std::pair<const char*, const char*> cases[] = {
        {"C", "09:05:07"}, {"POSIX", "09:05:07"}, {"C.UTF-8", "09:05:07"},
        {"en_US.UTF-8", "9:05:07 AM"}, {"de_DE.UTF-8", "09:05:07"}, {"ru_RU.UTF-8", "09:05:07"},
    };
    for (const auto& [locale, want] : cases) {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("LADOSLOV_CLOCK_CHILD", "1");
        env.insert("LC_ALL", locale);
        env.insert("LANG", locale);
        env.insert("QT_QPA_PLATFORM", "offscreen");
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=ClockText.ChildPrintsTheSystemClockText"});
        ASSERT_TRUE(child.waitForFinished(30000)) << locale;
        const QString out = QString::fromUtf8(child.readAllStandardOutput());
        const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("CLOCK\\[(.*)\\]")).match(out);
        ASSERT_TRUE(m.hasMatch()) << locale << ": " << out.toStdString();
        EXPECT_EQ(m.captured(1).toStdString(), want) << locale;
    }
}

}  // namespace
