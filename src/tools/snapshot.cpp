// Renders the screensaver's screen to a PNG for a given date, time and screen size, after start-up and
// after every timer has run its course: the fill finished, the clock and the feast line ticked once.
//
//   ladoslov-snapshot --date 2026-12-06 --time 09:05:07 --size 1024x768 --out screen.png

#include <QApplication>
#include <QCommandLineParser>
#include <QDate>
#include <QPixmap>
#include <QTime>
#include <cstdio>

#include "qt/headless_desktop.h"
#include "screen/form.h"
#include "qt/form_window.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    using namespace ladoslov;

    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({"date", "Today, as YYYY-MM-DD.", "date", QDate::currentDate().toString(Qt::ISODate)});
    parser.addOption({"time", "The time of day, as HH:MM:SS.", "time", QStringLiteral("12:00:00")});
    parser.addOption({"size", "The screen in pixels, as WIDTHxHEIGHT.", "size", QStringLiteral("1024x768")});
    parser.addOption({"out", "The PNG file to write.", "file", QStringLiteral("ladoslov.png")});
    parser.process(app);

    const QDate date = QDate::fromString(parser.value("date"), Qt::ISODate);
    const QTime time = QTime::fromString(parser.value("time"), QStringLiteral("HH:mm:ss"));
    const QStringList size = parser.value("size").split(QLatin1Char('x'));
    if (!date.isValid() || !time.isValid() || size.size() != 2 || size[0].toInt() <= 0 || size[1].toInt() <= 0) {
        std::fprintf(stderr, "ladoslov-snapshot: bad --date, --time or --size\n");
        return 2;
    }
    HeadlessDesktop desktop(Date{date.year(), date.month(), date.day()},
                            TimeOfDay{time.hour(), time.minute(), time.second()}, size[0].toInt(), size[1].toInt(),
                            1440.0 / twipsPerPixel());
    Form1 form(desktop.services);
    FormWindow view(form, desktop.screen);
    form.Form_Load();
    while (form.filling())
        for (int month = 1; month <= 12; ++month) form.timerTick(month);
    form.timerTick(13);
    form.timerTick(14);
    view.sync();
    if (!view.grab().save(parser.value("out"), "PNG")) {
        std::fprintf(stderr, "ladoslov-snapshot: cannot write %s\n", qPrintable(parser.value("out")));
        return 1;
    }
    return 0;
}
