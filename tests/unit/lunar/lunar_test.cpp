#include <gtest/gtest.h>

#include <climits>
#include <fstream>
#include <map>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "lunar/lunar.h"

namespace {

using lunar::Date;
using lunar::Festival;
using lunar::LunarDate;

// ---- Reference data --------------------------------------------------------------------

struct ReferenceYear {
    int year = 0;
    Date newYear;
    int leapMonth = 0;
    std::vector<int> monthDays;  // in order, the leap month in its place
};

struct Reference {
    std::vector<ReferenceYear> years;
    std::map<int, std::vector<int>> termDays;  // Gregorian year -> 24 days of month
};

Reference loadReference() {
    std::ifstream in(LUNAR_REFERENCE_FILE);
    EXPECT_TRUE(in) << "cannot open " << LUNAR_REFERENCE_FILE;
    Reference ref;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        char kind = 0;
        fields >> kind;
        if (kind == 'Y') {
            ReferenceYear y;
            int ymd = 0;
            fields >> y.year >> ymd >> y.leapMonth;
            y.newYear = Date{ymd / 10000, ymd / 100 % 100, ymd % 100};
            for (int days = 0; fields >> days;) y.monthDays.push_back(days);
            ref.years.push_back(y);
        } else if (kind == 'T') {
            int year = 0;
            fields >> year;
            std::vector<int>& days = ref.termDays[year];
            for (int day = 0; fields >> day;) days.push_back(day);
        } else {
            ADD_FAILURE() << "bad reference line: " << line;
        }
    }
    return ref;
}

const Reference& reference() {
    static const Reference ref = loadReference();
    return ref;
}

Date nextDay(Date d) {
    if (++d.day > lunar::daysInMonth(d.year, d.month)) {
        d.day = 1;
        if (++d.month > 12) {
            d.month = 1;
            ++d.year;
        }
    }
    return d;
}

bool inRange(const Date& d) {
    return d >= Date{1901, 1, 1} && d <= Date{2100, 12, 31};
}

// Every day of lunar years 1900-2100 as the reference has it, in both directions, plus the
// month facts and 除夕. Days of those years outside the covered range must be refused.
TEST(LunarReference, EveryDayOfTheRange) {
    const Reference& ref = reference();
    ASSERT_EQ(ref.years.size(), 201U);
    ASSERT_EQ(ref.years.front().year, 1900);
    ASSERT_EQ(ref.years.back().year, 2100);

    int checked = 0;
    int refused = 0;
    Date day = ref.years.front().newYear;
    for (std::size_t k = 0; k < ref.years.size(); ++k) {
        const ReferenceYear& y = ref.years[k];
        ASSERT_EQ(day, y.newYear) << "lunar year " << y.year
                                  << " does not start where the last ended";
        ASSERT_EQ(y.monthDays.size(), y.leapMonth != 0 ? 13U : 12U) << y.year;
        EXPECT_EQ(lunar::leapMonth(y.year), y.leapMonth) << y.year;
        for (std::size_t i = 0; i < y.monthDays.size(); ++i) {
            const int leap = y.leapMonth;
            const bool isLeap = leap != 0 && static_cast<int>(i) == leap;
            const int month = leap != 0 && static_cast<int>(i) >= leap ? static_cast<int>(i)
                                                                       : static_cast<int>(i) + 1;
            EXPECT_EQ(lunar::lunarMonthDays(y.year, month, isLeap), y.monthDays[i])
                << y.year << " month " << month << (isLeap ? " (leap)" : "");
            for (int d = 1; d <= y.monthDays[i]; ++d, day = nextDay(day)) {
                const LunarDate got = lunar::fromGregorian(day);
                if (!inRange(day)) {
                    ++refused;
                    ASSERT_FALSE(got.valid) << day.year << "-" << day.month << "-" << day.day;
                    ASSERT_FALSE(lunar::toGregorian(y.year, month, isLeap, d).has_value());
                    continue;
                }
                const LunarDate want{y.year, month, d, isLeap, true};
                ASSERT_EQ(got, want)
                    << day.year << "-" << day.month << "-" << day.day << ": got " << got.year << "/"
                    << got.month << (got.leap ? "L" : "") << "/" << got.day;
                ASSERT_EQ(lunar::toGregorian(y.year, month, isLeap, d), day);
                const bool lastOfYear = i + 1 == y.monthDays.size() && d == y.monthDays[i];
                ASSERT_EQ(lunar::festivalOn(day.year, day.month, day.day) == Festival::NewYearsEve,
                          lastOfYear)
                    << day.year << "-" << day.month << "-" << day.day;
                ++checked;
            }
        }
    }
    EXPECT_EQ(checked, 73049);  // 1901-01-01 ... 2100-12-31
    EXPECT_GT(refused, 0);
}

TEST(LunarReference, EverySolarTerm) {
    const Reference& ref = reference();
    ASSERT_EQ(ref.termDays.size(), 200U);
    int termDays = 0;
    for (const auto& [year, days] : ref.termDays) {
        ASSERT_EQ(days.size(), 24U) << year;
        const std::array<Date, 24> terms = lunar::solarTerms(year);
        for (int i = 0; i < 24; ++i) {
            const Date want{year, i / 2 + 1, days[static_cast<std::size_t>(i)]};
            EXPECT_EQ(terms[static_cast<std::size_t>(i)], want)
                << year << " " << lunar::solarTermName(i);
        }
        // And no other day claims a term.
        for (int month = 1; month <= 12; ++month) {
            for (int day = 1; day <= lunar::daysInMonth(year, month); ++day) {
                if (const std::optional<int> term = lunar::solarTermOn(year, month, day)) {
                    ++termDays;
                    EXPECT_EQ(terms[static_cast<std::size_t>(*term)], (Date{year, month, day}));
                }
            }
        }
    }
    EXPECT_EQ(termDays, 4800);
}

// ---- Hand-picked dates ------------------------------------------------------------------

struct KnownDay {
    Date date;
    LunarDate lunar;
    const char* text;   // toChineseString
    const char* label;  // dayLabel
};

void PrintTo(const KnownDay& c, std::ostream* os) {
    *os << c.date.year << "-" << c.date.month << "-" << c.date.day << " " << c.text;
}

std::string knownDayName(const testing::TestParamInfo<KnownDay>& info) {
    const Date& d = info.param.date;
    std::ostringstream name;
    name << "d" << d.year * 10000 + d.month * 100 + d.day;
    return name.str();
}

class LunarKnownDays : public testing::TestWithParam<KnownDay> {};

TEST_P(LunarKnownDays, ConvertsAndNames) {
    const KnownDay& c = GetParam();
    EXPECT_EQ(lunar::fromGregorian(c.date), c.lunar);
    EXPECT_EQ(lunar::toChineseString(c.lunar), c.text);
    EXPECT_EQ(lunar::dayLabel(c.date.year, c.date.month, c.date.day), c.label);
    EXPECT_EQ(lunar::toGregorian(c.lunar.year, c.lunar.month, c.lunar.leap, c.lunar.day), c.date);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LunarKnownDays,
    testing::Values(
        // New years; 1954's new moon came four minutes before midnight.
        KnownDay{{1954, 2, 3}, {1954, 1, 1, false, true}, "甲午年正月初一", "春节"},
        KnownDay{{1954, 2, 2}, {1953, 12, 29, false, true}, "癸巳年腊月廿九", "除夕"},
        KnownDay{{2026, 2, 17}, {2026, 1, 1, false, true}, "丙午年正月初一", "春节"},
        // 除夕 on a 29th, and on a 30th; the year's names change only at 正月初一.
        KnownDay{{2026, 2, 16}, {2025, 12, 29, false, true}, "乙巳年腊月廿九", "除夕"},
        KnownDay{{2025, 1, 28}, {2024, 12, 29, false, true}, "甲辰年腊月廿九", "除夕"},
        KnownDay{{2024, 2, 9}, {2023, 12, 30, false, true}, "癸卯年腊月三十", "除夕"},
        // Leap months: 2033's leap 11th month, then 腊月 and a 除夕 that is also 雨水.
        KnownDay{{2033, 11, 22}, {2033, 11, 1, false, true}, "癸丑年冬月初一", "小雪"},
        KnownDay{{2033, 12, 22}, {2033, 11, 1, true, true}, "癸丑年闰冬月初一", "闰冬月"},
        KnownDay{{2034, 1, 19}, {2033, 11, 29, true, true}, "癸丑年闰冬月廿九", "廿九"},
        KnownDay{{2034, 1, 20}, {2033, 12, 1, false, true}, "癸丑年腊月初一", "大寒"},
        KnownDay{{2034, 2, 18}, {2033, 12, 30, false, true}, "癸丑年腊月三十", "除夕"},
        KnownDay{{2023, 3, 22}, {2023, 2, 1, true, true}, "癸卯年闰二月初一", "闰二月"},
        KnownDay{{2020, 5, 23}, {2020, 4, 1, true, true}, "庚子年闰四月初一", "闰四月"},
        // A festival date in a leap month is not the festival.
        KnownDay{{2009, 5, 28}, {2009, 5, 5, false, true}, "己丑年五月初五", "端午"},
        KnownDay{{2009, 6, 27}, {2009, 5, 5, true, true}, "己丑年闰五月初五", "初五"},
        // The rest of the festivals, in 2026.
        KnownDay{{2026, 3, 3}, {2026, 1, 15, false, true}, "丙午年正月十五", "元宵"},
        KnownDay{{2026, 6, 19}, {2026, 5, 5, false, true}, "丙午年五月初五", "端午"},
        KnownDay{{2026, 8, 19}, {2026, 7, 7, false, true}, "丙午年七月初七", "七夕"},
        KnownDay{{2026, 9, 25}, {2026, 8, 15, false, true}, "丙午年八月十五", "中秋"},
        KnownDay{{2026, 10, 18}, {2026, 9, 9, false, true}, "丙午年九月初九", "重阳"},
        KnownDay{{2027, 1, 15}, {2026, 12, 8, false, true}, "丙午年腊月初八", "腊八"},
        KnownDay{{2026, 12, 10}, {2026, 11, 2, false, true}, "丙午年冬月初二", "初二"},
        // New moons within a minute of midnight (2057: 40 s after it).
        KnownDay{{2057, 9, 28}, {2057, 8, 30, false, true}, "丁丑年八月三十", "三十"},
        KnownDay{{2057, 9, 29}, {2057, 9, 1, false, true}, "丁丑年九月初一", "九月"},
        // Both ends of the range.
        KnownDay{{1901, 1, 1}, {1900, 11, 11, false, true}, "庚子年冬月十一", "十一"},
        KnownDay{{1901, 2, 18}, {1900, 12, 30, false, true}, "庚子年腊月三十", "除夕"},
        KnownDay{{2100, 12, 31}, {2100, 12, 1, false, true}, "庚申年腊月初一", "腊月"}),
    knownDayName);

// Terms whose moment lies within a minute of midnight, Beijing time.
TEST(LunarSolarTerms, NearMidnight) {
    struct Case {
        Date date;
        int index;
    };
    const Case cases[] = {
        {{2021, 12, 21}, 23},  // 冬至 at 23:59:19
        {{2008, 5, 21}, 9},    // 小满 at 00:00:54
        {{1979, 1, 20}, 1},    // 大寒 at 23:59:56
        {{2051, 3, 20}, 5},    // 春分 at 23:59:19
        {{2084, 3, 19}, 5},    // 春分 at 23:59:30
    };
    for (const Case& c : cases) {
        EXPECT_EQ(lunar::solarTermOn(c.date.year, c.date.month, c.date.day), c.index)
            << c.date.year << "-" << c.date.month << "-" << c.date.day;
        const Date after = nextDay(c.date);
        EXPECT_EQ(lunar::solarTermOn(after.year, after.month, after.day), std::nullopt);
        EXPECT_EQ(lunar::solarTerms(c.date.year)[static_cast<std::size_t>(c.index)], c.date);
    }
}

TEST(LunarSolarTerms, YearInOrder) {
    const std::array<Date, 24> terms = lunar::solarTerms(2026);
    EXPECT_EQ(terms.front(), (Date{2026, 1, 5}));   // 小寒
    EXPECT_EQ(terms[2], (Date{2026, 2, 4}));        // 立春
    EXPECT_EQ(terms[6], (Date{2026, 4, 5}));        // 清明
    EXPECT_EQ(terms.back(), (Date{2026, 12, 22}));  // 冬至
    EXPECT_EQ(lunar::solarTermName(0), "小寒");
    EXPECT_EQ(lunar::solarTermName(2), "立春");
    EXPECT_EQ(lunar::solarTermName(23), "冬至");
}

// ---- Names --------------------------------------------------------------------------------

TEST(LunarNames, MonthsAndDays) {
    const std::pair<int, const char*> months[] = {
        {1, "正月"}, {2, "二月"}, {10, "十月"}, {11, "冬月"}, {12, "腊月"}};
    for (const auto& [month, name] : months) EXPECT_EQ(lunar::monthName(month), name);
    EXPECT_EQ(lunar::monthName(11, true), "闰冬月");
    EXPECT_EQ(lunar::monthName(2, true), "闰二月");

    const std::pair<int, const char*> days[] = {{1, "初一"},  {9, "初九"},  {10, "初十"},
                                                {11, "十一"}, {19, "十九"}, {20, "二十"},
                                                {21, "廿一"}, {29, "廿九"}, {30, "三十"}};
    for (const auto& [day, name] : days) EXPECT_EQ(lunar::dayName(day), name) << day;
}

TEST(LunarNames, YearsFollowTheSixtyYearCycle) {
    struct Case {
        int year;
        const char* ganzhi;
        const char* animal;
    };
    const Case cases[] = {{1984, "甲子", "鼠"}, {2026, "丙午", "马"}, {2025, "乙巳", "蛇"},
                          {1900, "庚子", "鼠"}, {2100, "庚申", "猴"}, {2043, "癸亥", "猪"},
                          {4, "甲子", "鼠"},    {3, "癸亥", "猪"},    {-56, "甲子", "鼠"}};
    for (const Case& c : cases) {
        EXPECT_EQ(lunar::yearGanZhi(c.year), c.ganzhi) << c.year;
        EXPECT_EQ(lunar::zodiac(c.year), c.animal) << c.year;
    }
}

TEST(LunarNames, FestivalNames) {
    EXPECT_EQ(lunar::festivalName(Festival::SpringFestival), "春节");
    EXPECT_EQ(lunar::festivalName(Festival::NewYearsEve), "除夕");
    EXPECT_EQ(lunar::festivalName(Festival::None), "");
}

// ---- Outside the range and bad input --------------------------------------------------

TEST(LunarBadInput, GregorianDatesRefused) {
    const Date bad[] = {{1900, 12, 31}, {2101, 1, 1},    {2023, 2, 29},     {2024, 2, 30},
                        {2026, 0, 1},   {2026, 13, 1},   {2026, 4, 31},     {2026, 1, 0},
                        {2026, 1, 32},  {INT_MIN, 1, 1}, {INT_MAX, 12, 31}, {}};
    for (const Date& d : bad) {
        const LunarDate got = lunar::fromGregorian(d);
        EXPECT_FALSE(got.valid) << d.year << "-" << d.month << "-" << d.day;
        EXPECT_EQ(got, LunarDate{});
        EXPECT_EQ(lunar::toChineseString(got), "");
        EXPECT_EQ(lunar::festivalOn(d.year, d.month, d.day), Festival::None);
        EXPECT_EQ(lunar::solarTermOn(d.year, d.month, d.day), std::nullopt);
        EXPECT_EQ(lunar::dayLabel(d.year, d.month, d.day), "");
        EXPECT_FALSE(lunar::isSupported(d.year, d.month, d.day));
    }
    EXPECT_TRUE(lunar::fromGregorian(2024, 2, 29).valid);
    EXPECT_TRUE(lunar::isSupported(1901, 1, 1));
    EXPECT_TRUE(lunar::isSupported(2100, 12, 31));
}

TEST(LunarBadInput, LunarDatesRefused) {
    struct Case {
        int year, month;
        bool leap;
        int day;
    };
    const Case bad[] = {
        {2024, 3, true, 1},     // 2024 has no leap month
        {2023, 3, true, 1},     // 2023's leap month is the second
        {2026, 12, false, 30},  // 丙午年腊月 has 29 days
        {2026, 1, false, 0},    {2026, 1, false, 31}, {2026, 0, false, 1},
        {2026, 13, false, 1},   {1899, 1, false, 1},  {2101, 1, false, 1},
        {INT_MIN, 1, false, 1}, {1900, 1, false, 1},  // in the table but before 1901-01-01
        {2100, 12, false, 2},                         // 2101-01-01
    };
    for (const Case& c : bad) {
        EXPECT_EQ(lunar::toGregorian(c.year, c.month, c.leap, c.day), std::nullopt)
            << c.year << "/" << c.month << (c.leap ? "L" : "") << "/" << c.day;
    }
    EXPECT_EQ(lunar::leapMonth(1899), 0);
    EXPECT_EQ(lunar::leapMonth(2101), 0);
    EXPECT_EQ(lunar::lunarMonthDays(2101, 1, false), 0);
    EXPECT_EQ(lunar::lunarMonthDays(2024, 3, true), 0);
    EXPECT_EQ(lunar::lunarMonthDays(2023, 2, true), 29);
    EXPECT_EQ(lunar::monthName(0), "");
    EXPECT_EQ(lunar::monthName(13), "");
    EXPECT_EQ(lunar::dayName(0), "");
    EXPECT_EQ(lunar::dayName(31), "");
    EXPECT_EQ(lunar::solarTermName(-1), "");
    EXPECT_EQ(lunar::solarTermName(24), "");
}

TEST(LunarBadInput, SolarTermsOutsideTheRangeAreEmpty) {
    for (int year : {1900, 2101, INT_MIN, INT_MAX}) {
        for (const Date& d : lunar::solarTerms(year)) EXPECT_EQ(d, Date{}) << year;
    }
}

// ---- Gregorian helpers ------------------------------------------------------------------

TEST(LunarGregorian, MonthLengths) {
    EXPECT_EQ(lunar::daysInMonth(2024, 2), 29);
    EXPECT_EQ(lunar::daysInMonth(2000, 2), 29);
    EXPECT_EQ(lunar::daysInMonth(1900, 2), 28);
    EXPECT_EQ(lunar::daysInMonth(2100, 2), 28);
    EXPECT_EQ(lunar::daysInMonth(2026, 4), 30);
    EXPECT_EQ(lunar::daysInMonth(2026, 12), 31);
    EXPECT_EQ(lunar::daysInMonth(2026, 0), 0);
    EXPECT_EQ(lunar::daysInMonth(2026, 13), 0);
}

TEST(LunarGregorian, WeekdayMondayFirst) {
    struct Case {
        Date date;
        int weekday;
    };
    const Case cases[] = {
        {{2026, 1, 1}, 3},    // Thursday
        {{2026, 2, 17}, 1},   // Tuesday
        {{1901, 1, 1}, 1},    // Tuesday
        {{2000, 2, 29}, 1},   // Tuesday
        {{2100, 12, 31}, 4},  // Friday
        {{1970, 1, 1}, 3},    // Thursday
        {{1969, 12, 28}, 6},  // Sunday
        {{2024, 3, 4}, 0},    // Monday
        {{1600, 1, 1}, 5},    // Saturday
    };
    for (const Case& c : cases) {
        EXPECT_EQ(lunar::weekday(c.date.year, c.date.month, c.date.day), c.weekday)
            << c.date.year << "-" << c.date.month << "-" << c.date.day;
    }
    EXPECT_EQ(lunar::weekday(2023, 2, 29), -1);
    EXPECT_EQ(lunar::weekday(2023, 13, 1), -1);
    // Consecutive days across a century that is not a leap year step by one.
    int previous = lunar::weekday(2100, 2, 28);
    EXPECT_EQ(lunar::weekday(2100, 3, 1), (previous + 1) % 7);
}

}  // namespace
