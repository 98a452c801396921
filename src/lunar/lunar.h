#pragma once

// The Chinese lunar calendar (农历) as China publishes it: days in Beijing time, the month
// holding the winter solstice is month 11, and in a year of 13 months the first month without
// a principal term is the leap month. Standard library only, no toolkit.
//
// Everything is answered from a table covering Gregorian 1901-01-01 to 2100-12-31. Outside that
// range nothing is guessed: conversions return an invalid LunarDate or std::nullopt, lookups
// return empty results (see each function). All names are UTF-8.

#include <array>
#include <optional>
#include <string>

namespace lunar {

inline constexpr int kFirstYear = 1901;  // Gregorian years covered, both ends included
inline constexpr int kLastYear = 2100;

// A Gregorian date. Date{} (all zero) stands for "no date".
struct Date {
    int year = 0;
    int month = 0;
    int day = 0;

    friend constexpr auto operator<=>(const Date&, const Date&) = default;
};

struct LunarDate {
    int year = 0;        // the Gregorian year in which this lunar year's 正月初一 fell
    int month = 0;       // 1-12; a leap month carries the number of the month it follows
    int day = 0;         // 1-30
    bool leap = false;   // this is the leap month (闰月)
    bool valid = false;  // false when the Gregorian date was not real or not covered

    friend constexpr bool operator==(const LunarDate&, const LunarDate&) = default;
};

// ---- Conversion -------------------------------------------------------------------------

// The lunar date of a Gregorian day. A date that does not exist (2023-02-29, month 13) or lies
// outside kFirstYear-01-01 ... kLastYear-12-31 gives LunarDate{} with valid == false.
LunarDate fromGregorian(int year, int month, int day);
LunarDate fromGregorian(const Date& date);

// The Gregorian day of a lunar date; std::nullopt when the lunar year has no such month (e.g.
// a leap month in a year without one) or day, or when the day falls outside the covered range.
std::optional<Date> toGregorian(int lunarYear, int month, bool leap, int day);

// ---- Lunar years and months -------------------------------------------------------------

// The month the lunar year's leap month follows (1-12), or 0 when it has none or is not in
// the table (lunar years 1900-2100 are).
int leapMonth(int lunarYear);

// 29 or 30; 0 when that month does not exist or the lunar year is not in the table.
int lunarMonthDays(int lunarYear, int month, bool leap);

// ---- Names --------------------------------------------------------------------------------

// 正月, 二月 ... 十月, 冬月, 腊月; a leap month gets 闰 in front (闰二月, 闰冬月).
// Empty for a month outside 1-12.
std::string monthName(int month, bool leap = false);

// 初一 ... 初十, 十一 ... 十九, 二十, 廿一 ... 廿九, 三十. Empty for a day outside 1-30.
std::string dayName(int day);

// Stem-branch (干支) name and zodiac animal of a lunar year, e.g. 2026 -> 丙午, 马. Both follow
// the lunar year, so they change on 正月初一, not at 立春. Defined for any year.
std::string yearGanZhi(int lunarYear);
std::string zodiac(int lunarYear);

// "丙午年冬月初二"; empty for an invalid date.
std::string toChineseString(const LunarDate& date);

// ---- Solar terms (二十四节气) ---------------------------------------------------------------

inline constexpr int kSolarTermCount = 24;

// Index 0 is 小寒, 1 大寒 ... 23 冬至: the order in which they fall in a Gregorian year.
// Empty for an index outside 0-23.
std::string solarTermName(int index);

// The day of each term in Beijing time, in index order. Outside kFirstYear ... kLastYear every
// entry is Date{}.
std::array<Date, kSolarTermCount> solarTerms(int year);

// The index of the term falling on that day, or std::nullopt (also for days not covered).
std::optional<int> solarTermOn(int year, int month, int day);

// ---- Festivals ----------------------------------------------------------------------------

enum class Festival {
    None,
    SpringFestival,  // 春节, 正月初一
    Lantern,         // 元宵, 正月十五
    DragonBoat,      // 端午, 五月初五
    Qixi,            // 七夕, 七月初七
    MidAutumn,       // 中秋, 八月十五
    DoubleNinth,     // 重阳, 九月初九
    Laba,            // 腊八, 腊月初八
    NewYearsEve,     // 除夕, the last day of the lunar year (腊月廿九 or 三十)
};

// Falls only in an ordinary month: the fifth day of a leap fifth month is not 端午.
Festival festivalOn(int year, int month, int day);

// 春节, 元宵 ...; empty for Festival::None.
std::string festivalName(Festival festival);

// What a calendar cell shows under the day number: the festival, else the solar term, else the
// month name on the first of a lunar month, else the day name. Empty for a day not covered.
std::string dayLabel(int year, int month, int day);

// ---- Gregorian helpers (any year of the proleptic Gregorian calendar) -------------------

bool isLeapYear(int year);

// 28-31; 0 for a month outside 1-12.
int daysInMonth(int year, int month);

// True for a real date in the covered range.
bool isSupported(int year, int month, int day);

// Day of the week with Monday first: 0 = Monday ... 6 = Sunday; -1 for a date that does not
// exist.
int weekday(int year, int month, int day);

}  // namespace lunar
