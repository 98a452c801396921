// The lunar month calendar as a user drives it: its size, its first page, turning pages with
// the buttons and keys, selecting by click and arrow keys, and what it keeps while hidden.

#include <QAbstractButton>
#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QToolButton>
#include <QtTest>

#include "qt/lunar_calendar.h"

using qtui::LunarCalendar;

namespace {

struct Page {
    int year, month;
    QDate selected;
};

Page pageOf(const LunarCalendar& c) {
    return {c.shownYear(), c.shownMonth(), c.selectedDate()};
}

QToolButton* barButton(LunarCalendar& c, const char* name) {
    for (auto* b : c.findChildren<QToolButton*>()) {
        if (b->accessibleName() == QString::fromUtf8(name)) return b;
    }
    return nullptr;
}

QWidget* grid(LunarCalendar& c) {
    return c.focusProxy();
}

// A real click at a point of the calendar: the event goes to whatever lies there.
void clickAt(LunarCalendar& c, QPoint p) {
    QWidget* target = c.childAt(p);
    QVERIFY(target);
    QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(&c, p));
}

}  // namespace

class LunarCalendarTest : public QObject {
    Q_OBJECT
  private slots:
    void naturalSizeIsTheFormsPlace();
    void partsFillTheWholeArea();
    void opensOnTodaySelected();
    void turningPages_data();
    void turningPages();
    void pagesStopAtTheRangeEnds();
    void arrowKeysMoveTheSelection_data();
    void arrowKeysMoveTheSelection();
    void clickSelectsADay();
    void clickOnANeighbouringMonthsDayTurnsThePage();
    void selectorsChooseYearAndMonth();
    void hiddenAndShownKeepsPageAndDay();
    void describesTheSelectedDay();
    void partsAreAccessible();
};

void LunarCalendarTest::naturalSizeIsTheFormsPlace() {
    LunarCalendar c;
    QCOMPARE(c.sizeHint(), QSize(365, 262));
    QVERIFY(c.minimumSizeHint().width() <= 365 && c.minimumSizeHint().height() <= 262);
}

void LunarCalendarTest::partsFillTheWholeArea() {
    QWidget window;
    window.resize(600, 400);
    auto* c = new LunarCalendar(&window);
    c->setGeometry(0, 0, 365, 262);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    // Every pixel of its rectangle belongs to the calendar: nothing behind shows through.
    for (QPoint p : {QPoint(0, 0), QPoint(364, 0), QPoint(0, 261), QPoint(364, 261),
                     QPoint(182, 130), QPoint(364, 130)}) {
        QWidget* w = window.childAt(p);
        QVERIFY2(w == c || c->isAncestorOf(w), qPrintable(QString("%1,%2").arg(p.x()).arg(p.y())));
    }
    // The grid of days spans the full width, its six rows end above the description line.
    c->setSelectedDate(QDate(2026, 12, 10));
    const QRect first = c->dayRect(QDate(2026, 11, 30));
    const QRect last = c->dayRect(QDate(2027, 1, 10));
    QCOMPARE(first.topLeft().x(), 0);
    QCOMPARE(last.right(), 364);
    QVERIFY(last.bottom() < 262 - 16);
    QVERIFY(first.height() >= 30);
}

void LunarCalendarTest::opensOnTodaySelected() {
    const QDate before = QDate::currentDate();
    LunarCalendar c;
    const QDate after = QDate::currentDate();
    const Page p = pageOf(c);
    QVERIFY(p.selected == before || p.selected == after);  // midnight may pass meanwhile
    QCOMPARE(p.year, p.selected.year());
    QCOMPARE(p.month, p.selected.month());
    QVERIFY(!c.dayRect(p.selected).isEmpty());
}

void LunarCalendarTest::turningPages_data() {
    QTest::addColumn<QDate>("start");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QDate>("selected");

    QTest::newRow("next button, Dec to Jan") << QDate(2026, 12, 10) << "next" << QDate(2027, 1, 10);
    QTest::newRow("previous button, Jan to Dec")
        << QDate(2027, 1, 31) << "previous" << QDate(2026, 12, 31);
    QTest::newRow("Page Down, Dec to Jan") << QDate(2026, 12, 10) << "PgDn" << QDate(2027, 1, 10);
    QTest::newRow("Page Up, Jan to Dec") << QDate(2027, 1, 10) << "PgUp" << QDate(2026, 12, 10);
    QTest::newRow("31st into February") << QDate(2027, 1, 31) << "next" << QDate(2027, 2, 28);
    QTest::newRow("Ctrl+Page Down, a year") << QDate(2024, 2, 29) << "^PgDn" << QDate(2025, 2, 28);
    QTest::newRow("Page Down on the month selector")
        << QDate(2026, 12, 10) << "PgDn@month" << QDate(2027, 1, 10);
    QTest::newRow("Page Up on the year selector")
        << QDate(2027, 1, 10) << "PgUp@year" << QDate(2026, 12, 10);
}

void LunarCalendarTest::turningPages() {
    QFETCH(QDate, start);
    QFETCH(QString, action);
    QFETCH(QDate, selected);
    LunarCalendar c;
    c.show();
    QVERIFY(QTest::qWaitForWindowExposed(&c));
    c.setSelectedDate(start);
    if (action == "next") {
        QTest::mouseClick(barButton(c, "下个月"), Qt::LeftButton);
    } else if (action == "previous") {
        QTest::mouseClick(barButton(c, "上个月"), Qt::LeftButton);
    } else {
        const int key = action.contains("PgUp") ? Qt::Key_PageUp : Qt::Key_PageDown;
        const auto mods = action.startsWith('^') ? Qt::ControlModifier : Qt::NoModifier;
        QWidget* target = grid(c);
        for (auto* box : c.findChildren<QComboBox*>()) {
            if ((action.endsWith("@year") && box->accessibleName() == "年份") ||
                (action.endsWith("@month") && box->accessibleName() == "月份")) {
                target = box;
            }
        }
        QTest::keyClick(target, static_cast<Qt::Key>(key), mods);
    }
    const Page p = pageOf(c);
    QCOMPARE(p.selected, selected);
    QCOMPARE(p.year, selected.year());
    QCOMPARE(p.month, selected.month());
    for (auto* box : c.findChildren<QComboBox*>()) {
        const QString expected = box->accessibleName() == "年份"
                                     ? QString("%1年").arg(selected.year())
                                     : QString("%1月").arg(selected.month());
        QCOMPARE(box->currentText(), expected);
    }
}

void LunarCalendarTest::pagesStopAtTheRangeEnds() {
    LunarCalendar c;
    c.setSelectedDate(QDate(1901, 1, 15));
    QVERIFY(!barButton(c, "上个月")->isEnabled());
    QTest::keyClick(grid(c), Qt::Key_PageUp);
    QCOMPARE(c.selectedDate(), QDate(1901, 1, 15));
    c.setSelectedDate(QDate(2100, 12, 15));
    QVERIFY(!barButton(c, "下个月")->isEnabled());
    QVERIFY(barButton(c, "上个月")->isEnabled());
    QTest::keyClick(grid(c), Qt::Key_PageDown);
    QCOMPARE(c.selectedDate(), QDate(2100, 12, 15));
    c.setSelectedDate(QDate(2101, 1, 1));  // not covered: ignored
    QCOMPARE(c.selectedDate(), QDate(2100, 12, 15));
}

void LunarCalendarTest::arrowKeysMoveTheSelection_data() {
    QTest::addColumn<QDate>("start");
    QTest::addColumn<int>("key");
    QTest::addColumn<QDate>("selected");
    QTest::newRow("right") << QDate(2026, 12, 10) << int(Qt::Key_Right) << QDate(2026, 12, 11);
    QTest::newRow("left") << QDate(2026, 12, 10) << int(Qt::Key_Left) << QDate(2026, 12, 9);
    QTest::newRow("down") << QDate(2026, 12, 10) << int(Qt::Key_Down) << QDate(2026, 12, 17);
    QTest::newRow("up") << QDate(2026, 12, 10) << int(Qt::Key_Up) << QDate(2026, 12, 3);
    QTest::newRow("right into next year")
        << QDate(2026, 12, 31) << int(Qt::Key_Right) << QDate(2027, 1, 1);
    QTest::newRow("up into last year")
        << QDate(2027, 1, 3) << int(Qt::Key_Up) << QDate(2026, 12, 27);
    QTest::newRow("home") << QDate(2026, 12, 10) << int(Qt::Key_Home) << QDate(2026, 12, 1);
    QTest::newRow("end") << QDate(2026, 2, 10) << int(Qt::Key_End) << QDate(2026, 2, 28);
    QTest::newRow("left at the first day")
        << QDate(1901, 1, 1) << int(Qt::Key_Left) << QDate(1901, 1, 1);
    QTest::newRow("down at the last week")
        << QDate(2100, 12, 29) << int(Qt::Key_Down) << QDate(2100, 12, 31);
}

void LunarCalendarTest::arrowKeysMoveTheSelection() {
    QFETCH(QDate, start);
    QFETCH(int, key);
    QFETCH(QDate, selected);
    LunarCalendar c;
    c.setSelectedDate(start);
    QTest::keyClick(grid(c), static_cast<Qt::Key>(key));
    QCOMPARE(c.selectedDate(), selected);
    QCOMPARE(c.shownYear(), selected.year());
    QCOMPARE(c.shownMonth(), selected.month());
}

void LunarCalendarTest::clickSelectsADay() {
    LunarCalendar c;
    c.resize(c.sizeHint());
    c.show();
    QVERIFY(QTest::qWaitForWindowExposed(&c));
    c.setSelectedDate(QDate(2026, 12, 10));
    clickAt(c, c.dayRect(QDate(2026, 12, 22)).center());
    QCOMPARE(c.selectedDate(), QDate(2026, 12, 22));
    QCOMPARE(c.shownMonth(), 12);
    QVERIFY(grid(c)->hasFocus() || !c.isActiveWindow());
    // The keys go on from the clicked day.
    QTest::keyClick(grid(c), Qt::Key_Right);
    QCOMPARE(c.selectedDate(), QDate(2026, 12, 23));
}

void LunarCalendarTest::clickOnANeighbouringMonthsDayTurnsThePage() {
    LunarCalendar c;
    c.resize(c.sizeHint());
    c.show();
    QVERIFY(QTest::qWaitForWindowExposed(&c));
    c.setSelectedDate(QDate(2026, 12, 10));
    clickAt(c, c.dayRect(QDate(2027, 1, 2)).center());
    QCOMPARE(pageOf(c).selected, QDate(2027, 1, 2));
    QCOMPARE(c.shownMonth(), 1);
    clickAt(c, c.dayRect(QDate(2026, 12, 29)).center());
    QCOMPARE(c.selectedDate(), QDate(2026, 12, 29));
    QCOMPARE(c.shownMonth(), 12);
    // The place before 1901-01-01 is empty and takes no click.
    c.setSelectedDate(QDate(1901, 1, 10));
    const QRect firstDay = c.dayRect(QDate(1901, 1, 1));
    clickAt(c, firstDay.center() - QPoint(firstDay.width(), 0));
    QCOMPARE(c.selectedDate(), QDate(1901, 1, 10));
}

void LunarCalendarTest::selectorsChooseYearAndMonth() {
    LunarCalendar c;
    c.setSelectedDate(QDate(2026, 12, 10));
    QComboBox* year = nullptr;
    QComboBox* month = nullptr;
    for (auto* box : c.findChildren<QComboBox*>()) {
        (box->accessibleName() == "年份" ? year : month) = box;
    }
    QVERIFY(year && month);
    QCOMPARE(year->count(), 200);
    QCOMPARE(year->itemText(0), QString("1901年"));
    QCOMPARE(year->itemText(199), QString("2100年"));
    QCOMPARE(month->count(), 12);
    // Choosing with the keyboard, as a user would; the day of the month stays.
    QTest::keyClick(year, Qt::Key_Down);
    QCOMPARE(pageOf(c).selected, QDate(2027, 12, 10));
    QTest::keyClick(month, Qt::Key_Up);
    QCOMPARE(pageOf(c).selected, QDate(2027, 11, 10));
    QTest::keyClick(month, Qt::Key_Home);
    QCOMPARE(pageOf(c).selected, QDate(2027, 1, 10));
}

void LunarCalendarTest::hiddenAndShownKeepsPageAndDay() {
    QWidget window;
    window.resize(689, 386);
    auto* c = new LunarCalendar(&window);
    c->setGeometry(0, 0, 365, 262);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    c->setSelectedDate(QDate(2031, 7, 19));
    c->turnMonths(+2);  // 2031-09-19
    c->hide();
    QTest::qWait(20);
    c->show();
    QTest::qWait(20);
    QCOMPARE(c->shownYear(), 2031);
    QCOMPARE(c->shownMonth(), 9);
    QCOMPARE(c->selectedDate(), QDate(2031, 9, 19));
}

void LunarCalendarTest::describesTheSelectedDay() {
    LunarCalendar c;
    c.resize(c.sizeHint());
    c.show();
    QVERIFY(QTest::qWaitForWindowExposed(&c));
    c.setSelectedDate(QDate(2026, 12, 10));
    QCOMPARE(c.description(), QString("2026年12月10日 星期四 · 农历丙午年冬月初二"));
    c.setSelectedDate(QDate(2014, 9, 8));
    QCOMPARE(c.description(), QString("2014年9月8日 星期一 · 农历甲午年八月十五 · 中秋 · 白露"));
    // What the line shows on screen: the same text, whole at the natural size.
    bool shown = false;
    for (auto* label : c.findChildren<QLabel*>()) {
        shown = shown || label->text() == c.description();
    }
    QVERIFY(shown);
}

void LunarCalendarTest::partsAreAccessible() {
    LunarCalendar c;
    c.setSelectedDate(QDate(2026, 12, 10));
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(&c);
    QVERIFY(a);
    QCOMPARE(a->text(QAccessible::Name), QString("农历月历"));

    // Every control of the bar has a name; every day is a radio button named by its full date.
    for (auto* w : c.findChildren<QWidget*>()) {
        if (qobject_cast<QToolButton*>(w) || qobject_cast<QComboBox*>(w)) {
            QVERIFY2(!w->accessibleName().isEmpty(), w->metaObject()->className());
        }
    }
    int days = 0;
    bool selectedFound = false;
    for (auto* cell : grid(c)->findChildren<QAbstractButton*>()) {
        QAccessibleInterface* ci = QAccessible::queryAccessibleInterface(cell);
        QVERIFY(ci);
        QCOMPARE(ci->role(), QAccessible::RadioButton);
        ++days;
        if (ci->state().checked) {
            QVERIFY(!selectedFound);
            selectedFound = true;
            QVERIFY(ci->text(QAccessible::Name).startsWith(c.description()));
        }
    }
    QCOMPARE(days, 42);
    QVERIFY(selectedFound);
}

QTEST_MAIN(LunarCalendarTest)
#include "lunar_calendar_test.moc"
