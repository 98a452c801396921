#include "qt/lunar_calendar.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <functional>

#include "lunar/month_grid.h"

namespace qtui {
namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

lunar::Date toDate(const QDate& d) {
    return {d.year(), d.month(), d.day()};
}
QDate toQDate(const lunar::Date& d) {
    return QDate(d.year, d.month, d.day);
}

// The parts' heights at the natural size; the grid takes what is left (6 rows of 32).
constexpr int kWidth = 365;
constexpr int kHeight = 262;
constexpr int kBarHeight = 28;
constexpr int kWeekdayHeight = 20;
constexpr int kDescriptionHeight = 22;

// The calendar keeps its own light look whatever the desktop theme: its colours carry meaning
// (weekend red, festival red, solar term green) that a dark palette would wash out.
struct Colours {
    QColor page{255, 255, 255};
    QColor bar{242, 245, 249};
    QColor rule{214, 220, 228};
    QColor text{33, 37, 41};
    QColor weekend{208, 48, 48};
    QColor lunar{112, 117, 122};
    QColor monthStart{33, 37, 41};
    QColor festival{208, 48, 48};
    QColor solarTerm{22, 128, 60};
    QColor selected{205, 226, 255};
    QColor selectedFocus{176, 208, 255};
    QColor selectedEdge{59, 130, 246};
    QColor today{240, 140, 0};
    QColor hover{238, 242, 247};
};
const Colours kColours;

// Days of the neighbouring months are drawn in their own colours, faded into the page.
QColor faded(const QColor& c) {
    const QColor& bg = kColours.page;
    auto mix = [](int a, int b) { return (a * 2 + b * 5) / 7; };
    return QColor(mix(c.red(), bg.red()), mix(c.green(), bg.green()), mix(c.blue(), bg.blue()));
}

// Column and row edges are spread over the whole width and height, so that seven cells fill
// 365 pixels without a gap at the right edge.
int edge(int index, int count, int length) {
    return index * length / count;
}

QRect cellRect(int index, const QSize& area) {
    const int row = index / lunar::kGridColumns;
    const int col = index % lunar::kGridColumns;
    const int x = edge(col, lunar::kGridColumns, area.width());
    const int y = edge(row, lunar::kGridRows, area.height());
    return QRect(x, y, edge(col + 1, lunar::kGridColumns, area.width()) - x,
                 edge(row + 1, lunar::kGridRows, area.height()) - y);
}

QFont sizedFont(const QFont& base, int pixels, bool bold) {
    QFont f = base;
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

// ---- Weekday row -------------------------------------------------------------------------

class WeekdayRow final : public QWidget {
  public:
    explicit WeekdayRow(QWidget* parent) : QWidget(parent) {
        setAccessibleName(QStringLiteral("星期一至星期日"));
        setFixedHeight(kWeekdayHeight);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        static const char* const kNames[] = {"一", "二", "三", "四", "五", "六", "日"};
        QPainter p(this);
        p.fillRect(rect(), kColours.page);
        p.setFont(sizedFont(font(), 12, false));
        for (int col = 0; col < lunar::kGridColumns; ++col) {
            const int left = edge(col, lunar::kGridColumns, width());
            const int right = edge(col + 1, lunar::kGridColumns, width());
            p.setPen(col >= 5 ? kColours.weekend : kColours.lunar);
            p.drawText(QRect(left, 0, right - left, height()), Qt::AlignCenter,
                       QString::fromUtf8(kNames[col]));
        }
        p.setPen(kColours.rule);
        p.drawLine(6, height() - 1, width() - 7, height() - 1);
    }
};

// ---- Day cells ---------------------------------------------------------------------------

struct CellLook {
    lunar::DayCell day;
    bool selected = false;
    bool today = false;
    bool focused = false;  // the grid has the keyboard focus
};

void drawDay(QPainter& p, const QRect& area, const QFont& base, const CellLook& look, bool hover) {
    p.fillRect(area, kColours.page);
    const lunar::DayCell& day = look.day;
    if (day.date == lunar::Date{}) return;

    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(area).adjusted(2.5, 1.5, -2.5, -1.5);
    if (look.selected) {
        p.setPen(look.focused ? QPen(kColours.selectedEdge, 1) : Qt::NoPen);
        p.setBrush(look.focused ? kColours.selectedFocus : kColours.selected);
        p.drawRoundedRect(box, 4, 4);
    } else if (hover) {
        p.setPen(Qt::NoPen);
        p.setBrush(kColours.hover);
        p.drawRoundedRect(box, 4, 4);
    }
    if (look.today) {
        p.setPen(QPen(kColours.today, 1.6));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(box.adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
    }

    const auto shade = [&](const QColor& c) { return day.inMonth ? c : faded(c); };
    // Baselines rather than boxes: CJK fonts report line heights far above their glyphs, and
    // a box-centred label would be cut off at the bottom of a 32-pixel row.
    const int h = area.height();
    const int numberBaseline = area.y() + h * 15 / 32;
    const int labelBaseline = area.y() + h - std::max(3, h * 3 / 32);
    const auto drawCentred = [&](const QString& text, int baseline) {
        const int w = p.fontMetrics().horizontalAdvance(text);
        p.drawText(QPoint(area.x() + (area.width() - w) / 2, baseline), text);
    };

    p.setFont(sizedFont(base, 15, true));
    p.setPen(shade(day.weekend ? kColours.weekend : kColours.text));
    drawCentred(QString::number(day.date.day), numberBaseline);

    QColor labelColour = kColours.lunar;
    bool boldLabel = false;
    switch (day.mark) {
        case lunar::CellMark::Festival:
            labelColour = kColours.festival;
            boldLabel = true;
            break;
        case lunar::CellMark::SolarTerm:
            labelColour = kColours.solarTerm;
            break;
        case lunar::CellMark::MonthStart:
            labelColour = kColours.monthStart;
            break;
        case lunar::CellMark::None:
            break;
    }
    p.setFont(sizedFont(base, 12, boldLabel));
    p.setPen(shade(labelColour));
    drawCentred(q(day.label), labelBaseline);
}

// A day is a button, so that screen readers find every day with its full description and
// its selected state; the keyboard focus stays on the grid.
class DayCell final : public QAbstractButton {
  public:
    explicit DayCell(QWidget* parent) : QAbstractButton(parent) {
        setFocusPolicy(Qt::NoFocus);
        setCheckable(true);
        setAutoExclusive(true);  // one selected day, like a group of radio buttons
        setAttribute(Qt::WA_Hover);
    }
    void setLook(const CellLook& look) {
        look_ = look;
        const bool empty = look.day.date == lunar::Date{};
        setEnabled(!empty);
        QString name = q(lunar::describeDay(look.day.date));
        if (look.today) name += QStringLiteral(" · 今天");
        setText(QString::number(look.day.date.day));
        setAccessibleName(name);
        setToolTip(name);
        if (look.selected) setChecked(true);
        update();
    }
    const CellLook& look() const { return look_; }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        drawDay(p, rect(), font(), look_, underMouse() && isEnabled());
    }
    // Only the grid decides which day is selected.
    void nextCheckState() override {}

  private:
    CellLook look_;
};

}  // namespace

class DayGrid final : public QWidget {
  public:
    explicit DayGrid(QWidget* parent) : QWidget(parent) {
        setFocusPolicy(Qt::StrongFocus);
        setAccessibleName(QStringLiteral("日期"));
        for (auto& cell : cells_) {
            cell = new DayCell(this);
            QObject::connect(cell, &QAbstractButton::clicked, this, [this, cell] {
                setFocus(Qt::MouseFocusReason);
                if (onDayClicked) onDayClicked(cell->look().day.date);
            });
        }
    }

    std::function<void(const lunar::Date&)> onDayClicked;
    std::function<void(int months)> onWheel;
    std::function<bool(QKeyEvent*)> onKey;  // true: the key was used

    void setDays(const lunar::MonthGrid& days, const lunar::Date& selected,
                 const lunar::Date& today) {
        for (std::size_t i = 0; i < cells_.size(); ++i) {
            CellLook look;
            look.day = days[i];
            look.selected = days[i].date == selected;
            look.today = days[i].date == today;
            look.focused = hasFocus();
            cells_[i]->setLook(look);
        }
    }
    QRect rectOf(const lunar::Date& date) const {
        for (DayCell* cell : cells_) {
            if (cell->look().day.date == date) return cell->geometry();
        }
        return {};
    }

  protected:
    void resizeEvent(QResizeEvent*) override {
        for (std::size_t i = 0; i < cells_.size(); ++i) {
            cells_[i]->setGeometry(cellRect(static_cast<int>(i), size()));
        }
    }
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), kColours.page); }
    void focusInEvent(QFocusEvent* e) override {
        QWidget::focusInEvent(e);
        refocus();
    }
    void focusOutEvent(QFocusEvent* e) override {
        QWidget::focusOutEvent(e);
        refocus();
    }
    void keyPressEvent(QKeyEvent* e) override {
        if (!onKey || !onKey(e)) QWidget::keyPressEvent(e);
    }
    void wheelEvent(QWheelEvent* e) override {
        // One notch is one month; touchpads send many small steps that add up to a notch.
        wheel_ += e->angleDelta().y();
        const int notches = wheel_ / 120;
        wheel_ -= notches * 120;
        if (notches && onWheel) onWheel(-notches);
        e->accept();
    }

  private:
    void refocus() {
        for (DayCell* cell : cells_) {
            CellLook look = cell->look();
            look.focused = hasFocus();
            cell->setLook(look);
        }
    }
    std::array<DayCell*, lunar::kGridRows * lunar::kGridColumns> cells_{};
    int wheel_ = 0;
};

namespace {

// One line that shows as much as fits; the whole text stays readable as tooltip and to
// screen readers.
class DescriptionLine final : public QLabel {
  public:
    explicit DescriptionLine(QWidget* parent) : QLabel(parent) {
        setFixedHeight(kDescriptionHeight);
        setAlignment(Qt::AlignCenter);
        setTextFormat(Qt::PlainText);
        setFont(sizedFont(font(), 12, false));
        QPalette pal = palette();
        pal.setColor(QPalette::Window, kColours.bar);
        pal.setColor(QPalette::WindowText, kColours.text);
        setPalette(pal);
        setAutoFillBackground(true);
    }
    void setFullText(const QString& text) {
        full_ = text;
        setAccessibleName(text);
        setToolTip(text);
        elide();
    }
    const QString& fullText() const { return full_; }

  protected:
    void resizeEvent(QResizeEvent* e) override {
        QLabel::resizeEvent(e);
        elide();
    }
    void paintEvent(QPaintEvent* e) override {
        QLabel::paintEvent(e);
        QPainter p(this);
        p.setPen(kColours.rule);
        p.drawLine(0, 0, width(), 0);
    }

  private:
    void elide() { setText(fontMetrics().elidedText(full_, Qt::ElideRight, width() - 8)); }
    QString full_;
};

QToolButton* barButton(QWidget* parent, const QString& text, const QString& name) {
    auto* b = new QToolButton(parent);
    b->setText(text);
    b->setAccessibleName(name);
    b->setToolTip(name);
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::TabFocus);
    return b;
}

}  // namespace

LunarCalendar::LunarCalendar(QWidget* parent)
    : QWidget(parent), page_(std::make_unique<lunar::CalendarPage>(toDate(QDate::currentDate()))) {
    setAccessibleName(QStringLiteral("农历月历"));
    setAccessibleDescription(QStringLiteral("公历与农历对照的月历"));
    setFont(sizedFont(font(), 12, false));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kColours.page);
    setPalette(pal);
    setAutoFillBackground(true);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    QWidget* bar = buildBar();
    weekdays_ = new WeekdayRow(this);
    grid_ = new DayGrid(this);
    description_ = new DescriptionLine(this);
    column->addWidget(bar);
    column->addWidget(weekdays_);
    column->addWidget(grid_, 1);
    column->addWidget(description_);
    setFocusProxy(grid_);

    grid_->onDayClicked = [this](const lunar::Date& d) {
        page_->select(d);
        refresh();
    };
    grid_->onWheel = [this](int months) { turnMonths(months); };
    grid_->onKey = [this](QKeyEvent* e) { return handleDayKey(e); };

    midnight_ = new QTimer(this);
    midnight_->setSingleShot(true);
    midnight_->setTimerType(Qt::VeryCoarseTimer);
    connect(midnight_, &QTimer::timeout, this, [this] {
        refresh();  // a new today to mark
        scheduleMidnight();
    });
    scheduleMidnight();
    refresh();
}

LunarCalendar::~LunarCalendar() = default;

QWidget* LunarCalendar::buildBar() {
    auto* bar = new QWidget(this);
    bar->setFixedHeight(kBarHeight);
    bar->setAutoFillBackground(true);
    QPalette pal = bar->palette();
    pal.setColor(QPalette::Window, kColours.bar);
    bar->setPalette(pal);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(4, 2, 4, 2);
    row->setSpacing(2);

    previous_ = barButton(bar, QStringLiteral("◀"), QStringLiteral("上个月"));
    next_ = barButton(bar, QStringLiteral("▶"), QStringLiteral("下个月"));
    today_ = barButton(bar, QStringLiteral("今天"), QStringLiteral("回到今天"));

    year_ = new QComboBox(bar);
    year_->setAccessibleName(QStringLiteral("年份"));
    for (int y = lunar::kFirstYear; y <= lunar::kLastYear; ++y) {
        year_->addItem(QStringLiteral("%1年").arg(y));
    }
    year_->setMaxVisibleItems(12);
    month_ = new QComboBox(bar);
    month_->setAccessibleName(QStringLiteral("月份"));
    for (int m = 1; m <= 12; ++m) month_->addItem(QStringLiteral("%1月").arg(m));
    month_->setMaxVisibleItems(12);

    yearName_ = new QLabel(bar);  // its text is what a screen reader should say

    row->addWidget(previous_);
    row->addWidget(year_);
    row->addWidget(month_);
    row->addWidget(next_);
    row->addStretch(1);
    row->addWidget(yearName_);
    row->addSpacing(4);
    row->addWidget(today_);

    connect(previous_, &QToolButton::clicked, this, [this] { turnMonths(-1); });
    connect(next_, &QToolButton::clicked, this, [this] { turnMonths(+1); });
    connect(today_, &QToolButton::clicked, this, [this] { setSelectedDate(QDate::currentDate()); });
    connect(year_, &QComboBox::activated, this,
            [this](int index) { showMonth(lunar::kFirstYear + index, page_->month()); });
    connect(month_, &QComboBox::activated, this,
            [this](int index) { showMonth(page_->year(), index + 1); });

    // Page Up and Page Down turn months wherever the focus is inside the calendar; the
    // selectors would otherwise take them as "previous item".
    for (QWidget* w : {static_cast<QWidget*>(previous_), static_cast<QWidget*>(next_),
                       static_cast<QWidget*>(today_), static_cast<QWidget*>(year_),
                       static_cast<QWidget*>(month_)}) {
        w->installEventFilter(this);
    }
    return bar;
}

void LunarCalendar::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // The timer runs on a clock that stops while the computer sleeps: after a night in
    // standby, "today" is only known to be right once looked at again.
    refresh();
    scheduleMidnight();
}

QSize LunarCalendar::sizeHint() const {
    return {kWidth, kHeight};
}

QSize LunarCalendar::minimumSizeHint() const {
    return {280, 220};
}

QDate LunarCalendar::selectedDate() const {
    return toQDate(page_->selected());
}
int LunarCalendar::shownYear() const {
    return page_->year();
}
int LunarCalendar::shownMonth() const {
    return page_->month();
}

QString LunarCalendar::description() const {
    return static_cast<DescriptionLine*>(description_)->fullText();
}

void LunarCalendar::setSelectedDate(const QDate& date) {
    if (date.isValid() && page_->select(toDate(date))) refresh();
}

void LunarCalendar::showMonth(int year, int month) {
    page_->showMonth(year, month);
    refresh();
}

void LunarCalendar::turnMonths(int months) {
    page_->turnMonths(months);
    refresh();
}

QRect LunarCalendar::dayRect(const QDate& date) const {
    const QRect r = grid_->rectOf(toDate(date));
    return r.isNull() ? r : r.translated(grid_->pos());
}

void LunarCalendar::refresh() {
    const lunar::Date today = toDate(QDate::currentDate());
    grid_->setDays(lunar::monthGrid(page_->year(), page_->month()), page_->selected(), today);
    year_->setCurrentIndex(page_->year() - lunar::kFirstYear);
    month_->setCurrentIndex(page_->month() - 1);
    previous_->setEnabled(page_->canTurnBack());
    next_->setEnabled(page_->canTurnForward());

    const lunar::LunarDate lunarDay = lunar::fromGregorian(page_->selected());
    yearName_->setText(q(lunar::yearGanZhi(lunarDay.year) + lunar::zodiac(lunarDay.year) + "年"));
    static_cast<DescriptionLine*>(description_)
        ->setFullText(q(lunar::describeDay(page_->selected())));
}

void LunarCalendar::scheduleMidnight() {
    const QDateTime now = QDateTime::currentDateTime();
    const QDateTime next(now.date().addDays(1), QTime(0, 0));
    midnight_->start(
        static_cast<int>(std::clamp<qint64>(now.msecsTo(next) + 1000, 1000, 24LL * 3600 * 1000)));
}

bool LunarCalendar::handlePagingKey(QKeyEvent* event) {
    const bool ctrl = event->modifiers().testFlag(Qt::ControlModifier);
    switch (event->key()) {
        case Qt::Key_PageUp:
            turnMonths(ctrl ? -12 : -1);
            return true;
        case Qt::Key_PageDown:
            turnMonths(ctrl ? +12 : +1);
            return true;
        default:
            return false;
    }
}

bool LunarCalendar::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && handlePagingKey(static_cast<QKeyEvent*>(event))) {
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

bool LunarCalendar::handleDayKey(QKeyEvent* event) {
    if (handlePagingKey(event)) return true;
    const lunar::Date& d = page_->selected();
    switch (event->key()) {
        case Qt::Key_Left:
            page_->moveSelection(-1);
            break;
        case Qt::Key_Right:
            page_->moveSelection(+1);
            break;
        case Qt::Key_Up:
            page_->moveSelection(-7);
            break;
        case Qt::Key_Down:
            page_->moveSelection(+7);
            break;
        case Qt::Key_Home:
            page_->select({d.year, d.month, 1});
            break;
        case Qt::Key_End:
            page_->select({d.year, d.month, lunar::daysInMonth(d.year, d.month)});
            break;
        default:
            return false;
    }
    refresh();
    return true;
}

}  // namespace qtui
