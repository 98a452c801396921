#pragma once
// 农历月历1: a month calendar showing Gregorian and Chinese lunar dates side by side.
// What it shows and how its page and selection move come from lunar/month_grid.h; this widget
// only draws that and turns clicks and keys into it.

#include <QDate>
#include <QWidget>
#include <array>
#include <memory>

namespace lunar {
class CalendarPage;
}

class QComboBox;
class QLabel;
class QTimer;
class QToolButton;

namespace qtui {

class DayGrid;

class LunarCalendar final : public QWidget {
  public:
    // Opens on the month of today, with today selected.
    explicit LunarCalendar(QWidget* parent = nullptr);
    ~LunarCalendar() override;

    // The size the main window reserves for it: 365 x 262.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    QDate selectedDate() const;
    int shownYear() const;
    int shownMonth() const;
    // The description line in full (it is elided only on screen).
    QString description() const;

    // Selects a day of 1901-2100, turning to its month; other days are ignored.
    void setSelectedDate(const QDate& date);
    // Turns to a month (clamped to 1901-01 ... 2100-12), keeping the day of the month.
    void showMonth(int year, int month);
    void turnMonths(int months);

    // Where the cell of a day lies in this widget; empty when the day is not on the page.
    QRect dayRect(const QDate& date) const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    QWidget* buildBar();
    void refresh();
    void scheduleMidnight();
    bool handlePagingKey(QKeyEvent* event);
    bool handleDayKey(QKeyEvent* event);

    std::unique_ptr<lunar::CalendarPage> page_;
    QToolButton* previous_ = nullptr;
    QToolButton* next_ = nullptr;
    QToolButton* today_ = nullptr;
    QComboBox* year_ = nullptr;
    QComboBox* month_ = nullptr;
    QLabel* yearName_ = nullptr;
    QWidget* weekdays_ = nullptr;
    DayGrid* grid_ = nullptr;
    QLabel* description_ = nullptr;
    QTimer* midnight_ = nullptr;
};

}  // namespace qtui
