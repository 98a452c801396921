#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "lunar/month_grid.h"

namespace lunar {
// So that failures name the dates.
void PrintTo(const Date& d, std::ostream* os) {
    *os << d.year << '-' << d.month << '-' << d.day;
}
}  // namespace lunar

namespace {

using lunar::CalendarPage;
using lunar::CellMark;
using lunar::Date;
using lunar::MonthGrid;

int indexOf(const MonthGrid& grid, const Date& d) {
    for (std::size_t i = 0; i < grid.size(); ++i) {
        if (grid[i].date == d) return static_cast<int>(i);
    }
    return -1;
}

// ---- The month page ----------------------------------------------------------------------

TEST(MonthGrid, FirstRowHoldsTheFirstOfTheMonthUnderItsWeekday) {
    struct Case {
        int year, month;
        Date firstCell, lastCell;
    };
    const Case cases[] = {
        {2026, 12, {2026, 11, 30}, {2027, 1, 10}},  // starts on a Tuesday
        {2027, 2, {2027, 2, 1}, {2027, 3, 14}},     // starts on a Monday: no day of January
        {2026, 3, {2026, 2, 23}, {2026, 4, 5}},     // starts on a Sunday: the 1st is cell 6
        {2024, 2, {2024, 1, 29}, {2024, 3, 10}},    // leap February
        {2000, 1, {1999, 12, 27}, {2000, 2, 6}},
    };
    for (const Case& c : cases) {
        const MonthGrid grid = lunar::monthGrid(c.year, c.month);
        EXPECT_EQ(grid.front().date, c.firstCell) << c.year << '-' << c.month;
        EXPECT_EQ(grid.back().date, c.lastCell) << c.year << '-' << c.month;
        // Consecutive days, the month's own days flagged, weekends in the last two columns.
        int inMonth = 0;
        for (std::size_t i = 0; i < grid.size(); ++i) {
            if (i > 0) {
                EXPECT_EQ(grid[i].date, lunar::addDays(grid[i - 1].date, 1));
            }
            EXPECT_EQ(grid[i].inMonth, grid[i].date.month == c.month) << i;
            EXPECT_EQ(grid[i].weekend,
                      lunar::weekday(grid[i].date.year, grid[i].date.month, grid[i].date.day) >= 5)
                << i;
            inMonth += grid[i].inMonth ? 1 : 0;
        }
        EXPECT_EQ(inMonth, lunar::daysInMonth(c.year, c.month));
    }
}

TEST(MonthGrid, PlacesOutsideTheCoveredRangeStayEmpty) {
    const MonthGrid first = lunar::monthGrid(1901, 1);  // 1901-01-01 was a Tuesday
    EXPECT_EQ(first[0].date, Date{});
    EXPECT_TRUE(first[0].label.empty());
    EXPECT_EQ(first[1].date, (Date{1901, 1, 1}));
    EXPECT_FALSE(first[1].label.empty());

    const MonthGrid last = lunar::monthGrid(2100, 12);  // 2100-12-31 is a Friday
    const int end = indexOf(last, {2100, 12, 31});
    ASSERT_EQ(end, 4 * 7 + 4);
    for (std::size_t i = static_cast<std::size_t>(end) + 1; i < last.size(); ++i) {
        EXPECT_EQ(last[i].date, Date{}) << i;
        EXPECT_FALSE(last[i].inMonth) << i;
        EXPECT_TRUE(last[i].label.empty()) << i;
    }
}

TEST(MonthGrid, CellsCarryTheLunarLabelAndWhyItStandsOut) {
    struct Case {
        Date date;
        const char* label;
        CellMark mark;
    };
    const Case cases[] = {
        {{2026, 12, 10}, "初二", CellMark::None},
        {{2026, 12, 9}, "冬月", CellMark::MonthStart},
        {{2033, 12, 22}, "闰冬月", CellMark::MonthStart},
        {{2026, 12, 22}, "冬至", CellMark::SolarTerm},
        {{2026, 2, 17}, "春节", CellMark::Festival},
        {{2014, 9, 8}, "中秋", CellMark::Festival},  // also 白露: the festival wins
        {{2026, 12, 31}, "廿三", CellMark::None},
    };
    for (const Case& c : cases) {
        const MonthGrid grid = lunar::monthGrid(c.date.year, c.date.month);
        const int i = indexOf(grid, c.date);
        ASSERT_GE(i, 0);
        EXPECT_EQ(grid[static_cast<std::size_t>(i)].label, c.label);
        EXPECT_EQ(grid[static_cast<std::size_t>(i)].mark, c.mark) << c.label;
    }
}

TEST(MonthGrid, DescriptionNamesBothCalendarsAndTheDaysEvents) {
    struct Case {
        Date date;
        const char* text;
    };
    const Case cases[] = {
        {{2026, 12, 10}, "2026年12月10日 星期四 · 农历丙午年冬月初二"},
        {{2026, 2, 17}, "2026年2月17日 星期二 · 农历丙午年正月初一 · 春节"},
        {{2026, 4, 5}, "2026年4月5日 星期日 · 农历丙午年二月十八 · 清明"},
        {{2014, 9, 8}, "2014年9月8日 星期一 · 农历甲午年八月十五 · 中秋 · 白露"},
        {{2033, 12, 22}, "2033年12月22日 星期四 · 农历癸丑年闰冬月初一"},
        {{1901, 1, 1}, "1901年1月1日 星期二 · 农历庚子年冬月十一"},
        {{1900, 12, 31}, ""},
        {{2101, 1, 1}, ""},
    };
    for (const Case& c : cases) EXPECT_EQ(lunar::describeDay(c.date), c.text);
}

// ---- Paging and selection ------------------------------------------------------------------

struct Seen {
    int year, month;
    Date selected;
    friend bool operator==(const Seen&, const Seen&) = default;
    friend void PrintTo(const Seen& s, std::ostream* os) {
        *os << "page " << s.year << '-' << s.month << ", selected ";
        lunar::PrintTo(s.selected, os);
    }
};

Seen seen(const CalendarPage& p) {
    return {p.year(), p.month(), p.selected()};
}

TEST(CalendarPage, OpensOnTodayOrTheNearestEndOfTheRange) {
    EXPECT_EQ(seen(CalendarPage({2026, 12, 10})), (Seen{2026, 12, {2026, 12, 10}}));
    EXPECT_EQ(seen(CalendarPage({1899, 5, 5})), (Seen{1901, 1, {1901, 1, 1}}));
    EXPECT_EQ(seen(CalendarPage({2200, 5, 5})), (Seen{2100, 12, {2100, 12, 31}}));
}

TEST(CalendarPage, TurningPagesCrossesYearsAndKeepsTheDayWhereItCan) {
    CalendarPage page({2026, 12, 31});
    page.turnMonths(+1);
    EXPECT_EQ(seen(page), (Seen{2027, 1, {2027, 1, 31}}));
    page.turnMonths(+1);
    EXPECT_EQ(seen(page), (Seen{2027, 2, {2027, 2, 28}}));
    page.turnMonths(-1);
    EXPECT_EQ(seen(page), (Seen{2027, 1, {2027, 1, 28}}));
    page.turnMonths(-1);
    EXPECT_EQ(seen(page), (Seen{2026, 12, {2026, 12, 28}}));
    page.showMonth(2024, 2);
    EXPECT_EQ(seen(page), (Seen{2024, 2, {2024, 2, 28}}));
    page.turnMonths(-13);
    EXPECT_EQ(seen(page), (Seen{2023, 1, {2023, 1, 28}}));
}

TEST(CalendarPage, PagesStopAtTheRangeEnds) {
    CalendarPage page({1901, 2, 15});
    EXPECT_TRUE(page.canTurnBack());
    page.turnMonths(-1);
    EXPECT_FALSE(page.canTurnBack());
    page.turnMonths(-1);
    EXPECT_EQ(seen(page), (Seen{1901, 1, {1901, 1, 15}}));
    page.showMonth(1850, 7);
    EXPECT_EQ(seen(page), (Seen{1901, 1, {1901, 1, 15}}));

    page.showMonth(2100, 11);
    EXPECT_TRUE(page.canTurnForward());
    page.turnMonths(+1);
    EXPECT_FALSE(page.canTurnForward());
    page.turnMonths(+1);
    page.showMonth(2300, 1);
    EXPECT_EQ(seen(page), (Seen{2100, 12, {2100, 12, 15}}));
}

TEST(CalendarPage, SelectingAndMovingTurnToTheDaysMonth) {
    struct Case {
        const char* name;
        Date start;
        int move;  // days; 0: select `to` instead
        Date to;
        Seen expected;
    };
    const Case cases[] = {
        {"right across New Year", {2026, 12, 31}, +1, {}, {2027, 1, {2027, 1, 1}}},
        {"up across New Year", {2027, 1, 3}, -7, {}, {2026, 12, {2026, 12, 27}}},
        {"down within the month", {2026, 12, 10}, +7, {}, {2026, 12, {2026, 12, 17}}},
        {"left at the first day", {1901, 1, 1}, -1, {}, {1901, 1, {1901, 1, 1}}},
        {"up near the first day", {1901, 1, 5}, -7, {}, {1901, 1, {1901, 1, 1}}},
        {"down at the last day", {2100, 12, 29}, +7, {}, {2100, 12, {2100, 12, 31}}},
        {"click on a dimmed day", {2026, 12, 10}, 0, {2027, 1, 2}, {2027, 1, {2027, 1, 2}}},
        {"click on an empty place", {1901, 1, 10}, 0, {1900, 12, 31}, {1901, 1, {1901, 1, 10}}},
        {"no such date", {2026, 12, 10}, 0, {2026, 2, 30}, {2026, 12, {2026, 12, 10}}},
    };
    for (const Case& c : cases) {
        CalendarPage page(c.start);
        if (c.move) {
            page.moveSelection(c.move);
        } else {
            EXPECT_EQ(page.select(c.to), c.expected.selected == c.to) << c.name;
        }
        EXPECT_EQ(seen(page), c.expected) << c.name;
    }
}

}  // namespace
