#include "lunar/month_grid.h"

#include <algorithm>
#include <optional>

namespace lunar {
namespace {

constexpr std::array<const char*, 7> kWeekdayNames = {"星期一", "星期二", "星期三", "星期四",
                                                      "星期五", "星期六", "星期日"};

bool inRange(const Date& d) {
    return isSupported(d.year, d.month, d.day);
}

Date clampToRange(const Date& d) {
    if (d < kFirstDate) return kFirstDate;
    if (d > kLastDate) return kLastDate;
    return d;
}

// Months counted from year 0, so that turning pages is plain arithmetic.
int monthIndex(int year, int month) {
    return year * 12 + (month - 1);
}

}  // namespace

Date addDays(Date date, int days) {
    // Pages and arrow keys move by a few weeks at most; walking month by month is plenty.
    date.day += days;
    while (date.day < 1) {
        if (--date.month < 1) {
            date.month = 12;
            --date.year;
        }
        date.day += daysInMonth(date.year, date.month);
    }
    while (date.day > daysInMonth(date.year, date.month)) {
        date.day -= daysInMonth(date.year, date.month);
        if (++date.month > 12) {
            date.month = 1;
            ++date.year;
        }
    }
    return date;
}

std::string weekdayName(const Date& date) {
    const int w = weekday(date.year, date.month, date.day);
    return w < 0 ? std::string() : kWeekdayNames[static_cast<std::size_t>(w)];
}

MonthGrid monthGrid(int year, int month) {
    MonthGrid grid;
    const Date first{year, month, 1};
    const int lead = weekday(year, month, 1);
    if (lead < 0) return grid;
    for (int i = 0; i < kGridRows * kGridColumns; ++i) {
        DayCell& cell = grid[static_cast<std::size_t>(i)];
        const Date d = addDays(first, i - lead);
        cell.inMonth = d.year == year && d.month == month;
        cell.weekend = i % kGridColumns >= 5;
        if (!inRange(d)) continue;  // before 1901-01-01 or after 2100-12-31: an empty place
        cell.date = d;
        cell.label = dayLabel(d.year, d.month, d.day);
        if (festivalOn(d.year, d.month, d.day) != Festival::None) {
            cell.mark = CellMark::Festival;
        } else if (solarTermOn(d.year, d.month, d.day)) {
            cell.mark = CellMark::SolarTerm;
        } else if (fromGregorian(d).day == 1) {
            cell.mark = CellMark::MonthStart;
        }
    }
    return grid;
}

std::string describeDay(const Date& date) {
    const LunarDate lunar = fromGregorian(date);
    if (!lunar.valid) return {};
    std::string line = std::to_string(date.year) + "年" + std::to_string(date.month) + "月" +
                       std::to_string(date.day) + "日 " + weekdayName(date) + " · 农历" +
                       toChineseString(lunar);
    if (const Festival f = festivalOn(date.year, date.month, date.day); f != Festival::None) {
        line += " · " + festivalName(f);
    }
    if (const std::optional<int> term = solarTermOn(date.year, date.month, date.day)) {
        line += " · " + solarTermName(*term);
    }
    return line;
}

CalendarPage::CalendarPage(const Date& today) {
    selected_ = inRange(today) ? today : clampToRange(today);
    if (!inRange(selected_)) selected_ = kFirstDate;  // not a real date at all
    year_ = selected_.year;
    month_ = selected_.month;
}

void CalendarPage::showMonth(int year, int month) {
    const int wanted =
        std::clamp(monthIndex(year, month), monthIndex(kFirstYear, 1), monthIndex(kLastYear, 12));
    year_ = wanted / 12;
    month_ = wanted % 12 + 1;
    selected_ = {year_, month_, std::min(selected_.day, daysInMonth(year_, month_))};
}

void CalendarPage::turnMonths(int months) {
    const int target = monthIndex(year_, month_) + months;
    showMonth(target / 12, target % 12 + 1);
}

bool CalendarPage::canTurnBack() const {
    return monthIndex(year_, month_) > monthIndex(kFirstYear, 1);
}

bool CalendarPage::canTurnForward() const {
    return monthIndex(year_, month_) < monthIndex(kLastYear, 12);
}

bool CalendarPage::select(const Date& date) {
    if (!inRange(date)) return false;
    selected_ = date;
    year_ = date.year;
    month_ = date.month;
    return true;
}

void CalendarPage::moveSelection(int days) {
    select(clampToRange(addDays(selected_, days)));
}

}  // namespace lunar
