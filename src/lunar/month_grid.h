#pragma once

// What a month calendar shows and how its page and selection move, kept apart from any drawing
// so that a widget only paints it and tests can check it without a display.

#include <array>
#include <string>

#include "lunar/lunar.h"

namespace lunar {

inline constexpr Date kFirstDate{kFirstYear, 1, 1};
inline constexpr Date kLastDate{kLastYear, 12, 31};

// The day that lies `days` days after (or before, when negative) a real date.
Date addDays(Date date, int days);

// 星期一 ... 星期日; empty for a date that does not exist.
std::string weekdayName(const Date& date);

// Why a cell's lunar label stands out; a festival wins over a solar term on the same day.
enum class CellMark {
    None,        // an ordinary lunar day name (初二, 廿九)
    MonthStart,  // the first of a lunar month, labelled with the month's name (冬月, 闰二月)
    SolarTerm,
    Festival,
};

struct DayCell {
    Date date;             // Date{} for a place before kFirstDate or after kLastDate
    bool inMonth = false;  // belongs to the month on the page, not to a neighbouring one
    bool weekend = false;
    std::string label;  // lunar::dayLabel
    CellMark mark = CellMark::None;
};

inline constexpr int kGridRows = 6;
inline constexpr int kGridColumns = 7;  // Monday first
using MonthGrid = std::array<DayCell, kGridRows * kGridColumns>;

// The 42 days of a month page, row by row. The first row holds the 1st of the month, so a
// month starting on a Monday shows no day of the month before it; the rest of the sixth row
// comes from the following month.
MonthGrid monthGrid(int year, int month);

// The description line of a day, e.g. "2026年12月10日 星期四 · 农历丙午年冬月初二", followed by
// " · 冬至" or " · 腊八" when the day has a solar term or festival (both when it has both). Empty
// for a day outside the covered range.
std::string describeDay(const Date& date);

// The page (a month) and the selected day of a month calendar. The selected day is always on
// the page and always inside kFirstDate ... kLastDate.
class CalendarPage {
  public:
    // Opens on the month of `today` with that day selected; a day outside the range is taken
    // as the nearest end of it.
    explicit CalendarPage(const Date& today);

    int year() const { return year_; }
    int month() const { return month_; }
    const Date& selected() const { return selected_; }

    // Turns to a month (clamped to the range). The selection keeps its day of the month, or
    // takes the last day of a shorter month.
    void showMonth(int year, int month);
    void turnMonths(int months);  // -1: previous month, +1: next month, across years
    bool canTurnBack() const;
    bool canTurnForward() const;

    // Selects a day, turning to its month when it is not on the page. Days outside the range
    // are refused (returns false, nothing changes).
    bool select(const Date& date);
    // Moves the selection by whole days (arrow keys: +-1 and +-7); stops at the range's ends.
    void moveSelection(int days);

  private:
    int year_;
    int month_;
    Date selected_;
};

}  // namespace lunar
