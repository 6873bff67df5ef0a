// The fixed great feasts: Timer14 names today's feast in the feast line and centres the line on every tick.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/fake_services.h"

using namespace ladoslov;
using namespace ladoslov::testing;

namespace {

constexpr double kDesignPoints = 27.75;
const char* const kPeterAndPaul = "Святых первоверховных апостолов Петра и Павла";

struct FixedFeastCase {
    int month, day;
    const char* caption;
    double points;  // the feast line's size once the feast is named
};

void PrintTo(const FixedFeastCase& c, std::ostream* os) { *os << c.day << "." << c.month; }

// By month and day, as the church names them.
const std::vector<FixedFeastCase> kFeasts = {
    {1, 7, "Рождество Христово", kDesignPoints},
    {1, 14, "Обрезание Господне", kDesignPoints},
    {1, 19, "Крещение Господне", kDesignPoints},
    {2, 15, "Сретение Господне", kDesignPoints},
    {4, 7, "Благовещение Пресвятой Богородицы", kDesignPoints},
    {7, 7, "Рождество Иоанна Предтечи", kDesignPoints},
    {7, 12, kPeterAndPaul, 20},
    {8, 19, "Преображение Господне (Спас)", kDesignPoints},
    {8, 28, "Успение Пресвятой Богородицы", kDesignPoints},
    {9, 11, "Усекновение главы Иоанна Предтечи", kDesignPoints},
    {9, 21, "Рождество Пресвятой Богородицы", kDesignPoints},
    {9, 27, "Воздвижение Креста Господня", kDesignPoints},
    {10, 14, "Покров Пресвятой Богородицы", kDesignPoints},
    {12, 4, "Введение во храм Пресвятой Богородицы", kDesignPoints},
};

// A screensaver started on a given day, on a screen wider than the design so that centring moves the line.
struct FeastRun {
    Harness h;
    explicit FeastRun(Date today, int screenWidthPx = 1280, int screenHeightPx = 1024) {
        h.clock.date = today;
        h.screen.w = static_cast<Twips>(screenWidthPx * 15);
        h.screen.h = static_cast<Twips>(screenHeightPx * 15);
        h.load();
    }
    Label& line() { return h.form.Label115; }
    void tick() { h.form.timerTick(14); }
    void dayIs(Date d) { h.clock.date = d; }
};

// Centred on the screen by the width the line has for its caption and font now.
void expectCentred(FeastRun& r) {
    Label& l = r.line();
    EXPECT_FLOAT_EQ(l.width(), r.h.measurer.measure(l.caption(), l.font(), 0).width) << "not sized to its text";
    EXPECT_FLOAT_EQ(l.left() + l.width() / 2, r.h.screen.w / 2) << "not centred: left " << l.left();
}

class FixedFeastDay : public ::testing::TestWithParam<FixedFeastCase> {};

}  // namespace

TEST_P(FixedFeastDay, FirstTickNamesTheFeastAndCentresTheLine) {
    const FixedFeastCase c = GetParam();
    FeastRun r({2026, c.month, c.day});
    ASSERT_EQ(r.line().caption(), "");  // none of these is a movable feast in 2026
    const Twips topBefore = r.line().top();
    r.tick();
    EXPECT_EQ(r.line().caption(), c.caption);
    EXPECT_DOUBLE_EQ(r.line().font().size, c.points);
    EXPECT_EQ(r.line().foreColour(), 0xFF0000u);
    EXPECT_EQ(r.line().top(), topBefore);
    expectCentred(r);
    r.tick();  // later ticks write the same again
    EXPECT_EQ(r.line().caption(), c.caption);
    EXPECT_DOUBLE_EQ(r.line().font().size, c.points);
    expectCentred(r);
}

INSTANTIATE_TEST_SUITE_P(TheFourteen, FixedFeastDay, ::testing::ValuesIn(kFeasts));

TEST(FixedFeasts, ChristmasKeepsTheDesignFont) {
    FeastRun r({2026, 1, 7});
    const Font design = r.line().font();
    EXPECT_DOUBLE_EQ(design.size, kDesignPoints);
    EXPECT_FLOAT_EQ(r.line().left(), (r.h.screen.w - 15360) / 2);  // until the first tick: the design left, shifted
    r.tick();
    EXPECT_EQ(r.line().caption(), "Рождество Христово");
    EXPECT_EQ(r.line().font(), design);
    EXPECT_GT(r.line().width(), 0);
    expectCentred(r);
}

TEST(FixedFeasts, PeterAndPaulSetsTwentyPointsForTheRestOfTheRun) {
    FeastRun r({2026, 7, 12});
    r.tick();
    EXPECT_EQ(r.line().caption(), kPeterAndPaul);
    EXPECT_DOUBLE_EQ(r.line().font().size, 20);
    expectCentred(r);
    // The days after: no entry sets the size back, not even the next feast.
    for (const Date d : {Date{2026, 7, 13}, Date{2026, 8, 1}, Date{2026, 8, 19}, Date{2026, 12, 4}, Date{2027, 1, 7}}) {
        r.dayIs(d);
        r.tick();
        r.tick();
        EXPECT_DOUBLE_EQ(r.line().font().size, 20) << d.month << "/" << d.day;
        expectCentred(r);
    }
    EXPECT_EQ(r.line().caption(), "Рождество Христово");
}

TEST(FixedFeasts, ADayOfNoEntryLeavesTheLineButCentresIt) {
    struct Case {
        Date day;
        const char* startupCaption;
    };
    for (const Case& c : {Case{{2026, 1, 8}, ""}, Case{{2024, 2, 29}, ""}, Case{{2088, 2, 29}, "Прощеное воскресенье"},
                          Case{{1960, 2, 29}, "Начало Великого Поста"}, Case{{2010, 4, 4}, "Пасха"},
                          Case{{2026, 5, 31}, "Троица. Пятидесятница"}}) {
        SCOPED_TRACE(std::to_string(c.day.year) + "-" + std::to_string(c.day.month) + "-" + std::to_string(c.day.day));
        FeastRun r(c.day);
        ASSERT_EQ(r.line().caption(), c.startupCaption);
        for (int i = 0; i < 3; ++i) {
            r.line().setLeft(0);  // wherever it stood, the tick centres it again
            r.tick();
            EXPECT_EQ(r.line().caption(), c.startupCaption);
            EXPECT_DOUBLE_EQ(r.line().font().size, kDesignPoints);
            expectCentred(r);
        }
    }
}

TEST(FixedFeasts, CentresOnTheScreenWidthOfEachTick) {
    FeastRun r({2026, 1, 19});
    r.tick();
    expectCentred(r);
    r.h.screen.w = 1024 * 15;
    r.tick();
    expectCentred(r);
}

// On a day that is both, start-up names the movable feast and the first tick replaces it.
TEST(FixedFeasts, TheFixedFeastReplacesAMovableOneAtTheFirstTick) {
    struct Case {
        Date day;
        const char* movable;
        const char* fixed;
    };
    for (const Case& c : {Case{{1991, 4, 7}, "Пасха", "Благовещение Пресвятой Богородицы"},
                          Case{{1996, 4, 7}, "Вербное воскресенье", "Благовещение Пресвятой Богородицы"},
                          Case{{2010, 2, 15}, "Начало Великого Поста", "Сретение Господне"},
                          Case{{2037, 2, 15}, "Прощеное воскресенье", "Сретение Господне"}}) {
        SCOPED_TRACE(c.day.year);
        FeastRun r(c.day);
        EXPECT_EQ(r.line().caption(), c.movable);
        r.tick();
        EXPECT_EQ(r.line().caption(), c.fixed);
        expectCentred(r);
    }
}

TEST(FixedFeasts, ARunAcrossMidnightFollowsTheDate) {
    FeastRun r({2026, 8, 18});
    r.tick();
    EXPECT_EQ(r.line().caption(), "");
    r.dayIs({2026, 8, 19});
    r.tick();  // the first tick after midnight
    EXPECT_EQ(r.line().caption(), "Преображение Господне (Спас)");
    expectCentred(r);
    r.dayIs({2026, 8, 20});
    for (int i = 0; i < 3; ++i) r.tick();
    EXPECT_EQ(r.line().caption(), "Преображение Господне (Спас)");
    expectCentred(r);
}

TEST(FixedFeasts, ARunAcrossNewYearReadsTheNewYear) {
    FeastRun r({2026, 12, 31});
    r.tick();
    EXPECT_EQ(r.line().caption(), "");
    r.dayIs({2027, 1, 7});
    r.tick();
    EXPECT_EQ(r.line().caption(), "Рождество Христово");
}

TEST(FixedFeasts, AColourChosenByAClickSurvivesTheTicks) {
    FeastRun r({2026, 7, 11});
    r.h.random.values = {0.6f};  // palette entry 9
    r.h.form.click(r.line());
    ASSERT_EQ(r.line().foreColour(), 0x0000FFu);
    for (const Date d : {Date{2026, 7, 11}, Date{2026, 7, 12}, Date{2026, 7, 13}, Date{2026, 8, 19}}) {
        r.dayIs(d);
        r.tick();
        EXPECT_EQ(r.line().foreColour(), 0x0000FFu) << d.month << "/" << d.day;
    }
    EXPECT_EQ(r.line().caption(), "Преображение Господне (Спас)");
    EXPECT_DOUBLE_EQ(r.line().font().size, 20);
}

namespace {

// Month first, as some machines write dates.
class MonthFirstRegional final : public RegionalFormats {
public:
    std::string shortDate(const Date& d) const override {
        return std::to_string(d.month) + "/" + std::to_string(d.day) + "/" + std::to_string(d.year);
    }
    std::string longTime(const TimeOfDay& t) const override {
        return std::to_string(t.hour) + ":" + std::to_string(t.minute) + ":" + std::to_string(t.second);
    }
};

}  // namespace

TEST(FixedFeasts, KeysAreReadDayFirstWhateverTheRegionalOrder) {
    struct Case {
        Date day;
        const char* caption;
    };
    const std::vector<Case> cases = {
        {{2026, 12, 4}, "Введение во храм Пресвятой Богородицы"},
        {{2026, 4, 12}, "Пасха"},  // 04.12 read month first; start-up's Easter must stay
        {{2026, 7, 12}, kPeterAndPaul},
        {{2026, 12, 7}, ""},  // 12.07 read month first
        {{2026, 2, 15}, "Сретение Господне"},
        {{2026, 1, 7}, "Рождество Христово"},
        {{2026, 7, 1}, ""},  // 07.01 read month first
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.day.month) + "/" + std::to_string(c.day.day));
        FeastRun dayFirst(c.day);
        dayFirst.tick();
        EXPECT_EQ(dayFirst.line().caption(), c.caption);

        Harness h;
        h.clock.date = c.day;
        MonthFirstRegional monthFirst;
        Services services{h.clock,      monthFirst, h.random,   h.screen,     h.measurer, h.instance, h.topMost,
                          h.multimedia, h.files,    h.pictures, h.messageBox, h.process,  ""};
        Form1 form(services);
        form.Form_Load();
        form.timerTick(14);
        EXPECT_EQ(form.Label115.caption(), c.caption);
    }
}

// A whole year ticked day by day on one run: the line names each feast from its day on and keeps it until
// the next; from 12 July it is 20 points.
TEST(FixedFeasts, AYearLongRun) {
    FeastRun r({2024, 1, 1});
    std::string expected;
    double points = kDesignPoints;
    for (int month = 1; month <= 12; ++month) {
        for (int day = 1; day <= daysInMonth(2024, month); ++day) {
            for (const FixedFeastCase& f : kFeasts)
                if (f.month == month && f.day == day) {
                    expected = f.caption;
                    points = f.points == 20 ? 20 : points;
                }
            r.dayIs({2024, month, day});
            r.tick();
            ASSERT_EQ(r.line().caption(), expected) << day << "." << month;
            ASSERT_DOUBLE_EQ(r.line().font().size, points) << day << "." << month;
            ASSERT_FLOAT_EQ(r.line().left() + r.line().width() / 2, r.h.screen.w / 2) << day << "." << month;
        }
    }
}
