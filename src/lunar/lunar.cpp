#include "lunar/lunar.h"

#include <string_view>

#include "lunar/lunar_data.h"

namespace lunar {
namespace {

using data::kFirstLunarYear;
using data::kLastLunarYear;

// Days since 1970-01-01 in the proleptic Gregorian calendar (H. Hinnant's days_from_civil).
// 64-bit so that any int year is safe.
constexpr long long dayNumber(long long y, int m, int d) {
    y -= m <= 2 ? 1 : 0;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153LL * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

constexpr Date fromDayNumber(long long z) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    return Date{static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0)), m, d};
}

constexpr long long kFirstDay = dayNumber(kFirstYear, 1, 1);
constexpr long long kLastDay = dayNumber(kLastYear, 12, 31);

bool isRealDate(int year, int month, int day) {
    return month >= 1 && month <= 12 && day >= 1 && day <= daysInMonth(year, month);
}

const data::LunarYearInfo* yearInfo(int lunarYear) {
    if (lunarYear < kFirstLunarYear || lunarYear > kLastLunarYear) return nullptr;
    return &data::kLunarYears[static_cast<std::size_t>(lunarYear - kFirstLunarYear)];
}

long long newYearDay(int lunarYear, const data::LunarYearInfo& info) {
    return dayNumber(lunarYear, info.newYearMonth, info.newYearDay);
}

int monthCount(const data::LunarYearInfo& info) {
    return info.leapMonth != 0 ? 13 : 12;
}

int monthLength(const data::LunarYearInfo& info, int index) {
    return (info.bigMonths >> (12 - index)) & 1U ? 30 : 29;
}

// Position of a month within its year, counting the leap month in place; -1 if there is none.
int monthIndex(const data::LunarYearInfo& info, int month, bool leap) {
    if (month < 1 || month > 12) return -1;
    const int leapMonth = info.leapMonth;
    if (leap) return month == leapMonth ? month : -1;
    return leapMonth != 0 && month > leapMonth ? month : month - 1;
}

LunarDate fromDay(long long day) {
    if (day < kFirstDay || day > kLastDay) return {};
    // 正月初一 always falls in January or February, so the lunar year is the Gregorian year
    // or the one before.
    int lunarYear = fromDayNumber(day).year;
    const data::LunarYearInfo* info = yearInfo(lunarYear);
    if (day < newYearDay(lunarYear, *info)) info = yearInfo(--lunarYear);
    long long offset = day - newYearDay(lunarYear, *info);
    for (int i = 0; i < monthCount(*info); ++i) {
        const int length = monthLength(*info, i);
        if (offset < length) {
            const int leapMonth = info->leapMonth;
            const bool leap = leapMonth != 0 && i == leapMonth;
            const int month = leapMonth != 0 && i >= leapMonth ? i : i + 1;
            return LunarDate{lunarYear, month, static_cast<int>(offset) + 1, leap, true};
        }
        offset -= length;
    }
    return {};  // unreachable while the table's years join up, which the tests check
}

constexpr std::array<std::string_view, 10> kStems = {"甲", "乙", "丙", "丁", "戊",
                                                     "己", "庚", "辛", "壬", "癸"};
constexpr std::array<std::string_view, 12> kBranches = {"子", "丑", "寅", "卯", "辰", "巳",
                                                        "午", "未", "申", "酉", "戌", "亥"};
constexpr std::array<std::string_view, 12> kAnimals = {"鼠", "牛", "虎", "兔", "龙", "蛇",
                                                       "马", "羊", "猴", "鸡", "狗", "猪"};
constexpr std::array<std::string_view, 12> kMonthNames = {
    "正月", "二月", "三月", "四月", "五月", "六月", "七月", "八月", "九月", "十月", "冬月", "腊月"};
constexpr std::array<std::string_view, 10> kDigits = {"",   "一", "二", "三", "四",
                                                      "五", "六", "七", "八", "九"};
constexpr std::array<std::string_view, kSolarTermCount> kTermNames = {
    "小寒", "大寒", "立春", "雨水", "惊蛰", "春分", "清明", "谷雨", "立夏", "小满", "芒种", "夏至",
    "小暑", "大暑", "立秋", "处暑", "白露", "秋分", "寒露", "霜降", "立冬", "小雪", "大雪", "冬至"};

// Position in a 60-year (or 10/12-year) cycle, correct for years before 4 as well.
std::size_t cycle(int lunarYear, int length) {
    const long long r = (static_cast<long long>(lunarYear) - 4) % length;
    return static_cast<std::size_t>(r < 0 ? r + length : r);
}

}  // namespace

// ---- Conversion -------------------------------------------------------------------------

LunarDate fromGregorian(int year, int month, int day) {
    if (!isRealDate(year, month, day)) return {};
    return fromDay(dayNumber(year, month, day));
}

LunarDate fromGregorian(const Date& date) {
    return fromGregorian(date.year, date.month, date.day);
}

std::optional<Date> toGregorian(int lunarYear, int month, bool leap, int day) {
    const data::LunarYearInfo* info = yearInfo(lunarYear);
    if (info == nullptr) return std::nullopt;
    const int index = monthIndex(*info, month, leap);
    if (index < 0 || day < 1 || day > monthLength(*info, index)) return std::nullopt;
    long long n = newYearDay(lunarYear, *info) + day - 1;
    for (int i = 0; i < index; ++i) n += monthLength(*info, i);
    if (n < kFirstDay || n > kLastDay) return std::nullopt;
    return fromDayNumber(n);
}

// ---- Lunar years and months -------------------------------------------------------------

int leapMonth(int lunarYear) {
    const data::LunarYearInfo* info = yearInfo(lunarYear);
    return info != nullptr ? info->leapMonth : 0;
}

int lunarMonthDays(int lunarYear, int month, bool leap) {
    const data::LunarYearInfo* info = yearInfo(lunarYear);
    if (info == nullptr) return 0;
    const int index = monthIndex(*info, month, leap);
    return index < 0 ? 0 : monthLength(*info, index);
}

// ---- Names --------------------------------------------------------------------------------

std::string monthName(int month, bool leap) {
    if (month < 1 || month > 12) return {};
    std::string name = leap ? "闰" : "";
    name += kMonthNames[static_cast<std::size_t>(month - 1)];
    return name;
}

std::string dayName(int day) {
    if (day < 1 || day > 30) return {};
    if (day == 10) return "初十";
    if (day == 20) return "二十";
    if (day == 30) return "三十";
    constexpr std::array<std::string_view, 3> kTens = {"初", "十", "廿"};
    std::string name(kTens[static_cast<std::size_t>(day / 10)]);
    name += kDigits[static_cast<std::size_t>(day % 10)];
    return name;
}

std::string yearGanZhi(int lunarYear) {
    std::string name(kStems[cycle(lunarYear, 10)]);
    name += kBranches[cycle(lunarYear, 12)];
    return name;
}

std::string zodiac(int lunarYear) {
    return std::string(kAnimals[cycle(lunarYear, 12)]);
}

std::string toChineseString(const LunarDate& date) {
    if (!date.valid) return {};
    return yearGanZhi(date.year) + "年" + monthName(date.month, date.leap) + dayName(date.day);
}

// ---- Solar terms ----------------------------------------------------------------------------

std::string solarTermName(int index) {
    if (index < 0 || index >= kSolarTermCount) return {};
    return std::string(kTermNames[static_cast<std::size_t>(index)]);
}

std::array<Date, kSolarTermCount> solarTerms(int year) {
    std::array<Date, kSolarTermCount> terms{};
    if (year < data::kFirstSolarTermYear || year > data::kLastSolarTermYear) return terms;
    const data::SolarTermDays& days =
        data::kSolarTermDays[static_cast<std::size_t>(year - data::kFirstSolarTermYear)];
    for (std::size_t i = 0; i < terms.size(); ++i) {
        terms[i] = Date{year, static_cast<int>(i / 2) + 1, days[i]};
    }
    return terms;
}

std::optional<int> solarTermOn(int year, int month, int day) {
    if (!isSupported(year, month, day)) return std::nullopt;
    const data::SolarTermDays& days =
        data::kSolarTermDays[static_cast<std::size_t>(year - data::kFirstSolarTermYear)];
    for (int i = 2 * (month - 1); i < 2 * month; ++i) {
        if (days[static_cast<std::size_t>(i)] == day) return i;
    }
    return std::nullopt;
}

// ---- Festivals ----------------------------------------------------------------------------

Festival festivalOn(int year, int month, int day) {
    const LunarDate lunar = fromGregorian(year, month, day);
    if (!lunar.valid) return Festival::None;
    // 除夕 is the last day of the year's last month, whatever its length (腊月 has 29 days in
    // some years) and even if that month were a leap 腊月.
    const data::LunarYearInfo& info = *yearInfo(lunar.year);
    const int index = monthIndex(info, lunar.month, lunar.leap);
    if (index == monthCount(info) - 1 && lunar.day == monthLength(info, index)) {
        return Festival::NewYearsEve;
    }
    if (lunar.leap) return Festival::None;
    switch (lunar.month * 100 + lunar.day) {
        case 101:
            return Festival::SpringFestival;
        case 115:
            return Festival::Lantern;
        case 505:
            return Festival::DragonBoat;
        case 707:
            return Festival::Qixi;
        case 815:
            return Festival::MidAutumn;
        case 909:
            return Festival::DoubleNinth;
        case 1208:
            return Festival::Laba;
        default:
            return Festival::None;
    }
}

std::string festivalName(Festival festival) {
    switch (festival) {
        case Festival::SpringFestival:
            return "春节";
        case Festival::Lantern:
            return "元宵";
        case Festival::DragonBoat:
            return "端午";
        case Festival::Qixi:
            return "七夕";
        case Festival::MidAutumn:
            return "中秋";
        case Festival::DoubleNinth:
            return "重阳";
        case Festival::Laba:
            return "腊八";
        case Festival::NewYearsEve:
            return "除夕";
        case Festival::None:
            break;
    }
    return {};
}

std::string dayLabel(int year, int month, int day) {
    const LunarDate lunar = fromGregorian(year, month, day);
    if (!lunar.valid) return {};
    if (const Festival festival = festivalOn(year, month, day); festival != Festival::None) {
        return festivalName(festival);
    }
    if (const std::optional<int> term = solarTermOn(year, month, day)) return solarTermName(*term);
    return lunar.day == 1 ? monthName(lunar.month, lunar.leap) : dayName(lunar.day);
}

// ---- Gregorian helpers ------------------------------------------------------------------

bool isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month) {
    constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    if (month == 2 && isLeapYear(year)) return 29;
    return kDays[static_cast<std::size_t>(month - 1)];
}

bool isSupported(int year, int month, int day) {
    return year >= kFirstYear && year <= kLastYear && isRealDate(year, month, day);
}

int weekday(int year, int month, int day) {
    if (!isRealDate(year, month, day)) return -1;
    // 1970-01-01 was a Thursday (3 counting from Monday = 0).
    const long long w = (dayNumber(year, month, day) + 3) % 7;
    return static_cast<int>(w < 0 ? w + 7 : w);
}

}  // namespace lunar
