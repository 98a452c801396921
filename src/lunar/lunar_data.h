#pragma once

// Tables behind lunar.h. The contents are generated (see lunar_data.cpp); only their layout
// lives here.

#include <array>
#include <cstdint>

namespace lunar::data {

inline constexpr int kFirstLunarYear = 1900;
inline constexpr int kLastLunarYear = 2100;
inline constexpr int kLunarYearCount = kLastLunarYear - kFirstLunarYear + 1;

struct LunarYearInfo {
    std::uint8_t newYearMonth;  // Gregorian month and day of 正月初一, in the same year
    std::uint8_t newYearDay;
    std::uint8_t leapMonth;  // the month the leap month follows, 0 = no leap month
    // Bit 12 is the first month of the year, bit 11 the second and so on, the leap month
    // counted in its place; a set bit means 30 days, a clear one 29.
    std::uint16_t bigMonths;
};

inline constexpr int kFirstSolarTermYear = 1901;
inline constexpr int kLastSolarTermYear = 2100;
inline constexpr int kSolarTermYearCount = kLastSolarTermYear - kFirstSolarTermYear + 1;

// Day of month of each of the 24 terms of a Gregorian year, 小寒 first; terms 2k and 2k + 1
// always fall in month k + 1 within these years.
using SolarTermDays = std::array<std::uint8_t, 24>;

extern const std::array<LunarYearInfo, kLunarYearCount> kLunarYears;
extern const std::array<SolarTermDays, kSolarTermYearCount> kSolarTermDays;

}  // namespace lunar::data
