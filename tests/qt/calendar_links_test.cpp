// 按钮7 and 按钮12 in the real window: the calendar lies over the controls it covers and takes
// their clicks, the caption follows it, and the question bank opens only a picked item's page
// (through a handler registered for http, so no browser starts).

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "app/startup.h"
#include "config/urls.h"
#include "form/main_window.h"
#include "qt/lunar_calendar.h"
#include "qt/qt_desktop.h"
#include "qt/qt_toolkit.h"
#include "qt_program.h"

namespace {

struct Program : QtProgram {
    qtui::LunarCalendar* calendar() {
        return dynamic_cast<qtui::LunarCalendar*>(find<QWidget>("农历月历1"));
    }
};

// Typing as a user does: digits key by key, Chinese through the input method, which commits
// the finished characters.
void type(QLineEdit* field, const QString& text) {
    bool latin = true;
    for (QChar c : text) latin = latin && c.unicode() < 128;
    if (latin) {
        QTest::keyClicks(field, text);
        return;
    }
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QApplication::sendEvent(field, &commit);
}

void pickFromList(QComboBox* box, int index) {
    box->showPopup();
    QAbstractItemView* list = box->view();
    QTRY_VERIFY(list->isVisible());
    const QRect item = list->visualRect(list->model()->index(index, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.center());
    QTRY_VERIFY(!list->isVisible());
}

}  // namespace

// Receives what would have gone to the browser.
class UrlRecorder : public QObject {
    Q_OBJECT
  public:
    QList<QUrl> urls;
  public slots:
    void open(const QUrl& url) { urls << url; }
};

class CalendarLinksTest : public QObject {
    Q_OBJECT
  private slots:
    void init();
    void cleanup();
    void captionFollowsTheCalendar();
    void calendarTakesTheClicksOfWhatItCovers_data();
    void calendarTakesTheClicksOfWhatItCovers();
    void coveredButtonCannotBeClickedUntilHidden();
    void toggledCalendarKeepsItsPageAndDay();
    void typedTextNeverPicksAnItem_data();
    void typedTextNeverPicksAnItem();
    void questionBank_data();
    void questionBank();
    void secondClickOpensAgainAndTheChooserKeepsItsItem();

  private:
    UrlRecorder recorder_;
};

void CalendarLinksTest::init() {
    recorder_.urls.clear();
    QDesktopServices::setUrlHandler("http", &recorder_, "open");
    QDesktopServices::setUrlHandler("https", &recorder_, "open");
}

void CalendarLinksTest::cleanup() {
    QDesktopServices::unsetUrlHandler("http");
    QDesktopServices::unsetUrlHandler("https");
}

void CalendarLinksTest::captionFollowsTheCalendar() {
    Program p;
    QVERIFY(p.showAndActivate());
    auto* button = p.find<QPushButton>("按钮7");
    qtui::LunarCalendar* calendar = p.calendar();
    QVERIFY(calendar);
    QVERIFY(!calendar->isVisible());
    QCOMPARE(calendar->geometry(), QRect(0, 0, 365, 262));
    const char* captions[] = {"隐藏", "日历", "隐藏", "日历"};
    bool visible = false;
    for (const char* caption : captions) {
        QTest::mouseClick(button, Qt::LeftButton);
        visible = !visible;
        QCOMPARE(calendar->isVisible(), visible);
        QCOMPARE(button->text(), QString::fromUtf8(caption));
    }
}

void CalendarLinksTest::calendarTakesTheClicksOfWhatItCovers_data() {
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<QString>("under");  // what is there while the calendar is shown

    QTest::newRow("按钮1 centre") << QPoint(60, 221) << "农历月历1";
    QTest::newRow("按钮3 centre") << QPoint(160, 221) << "农历月历1";
    QTest::newRow("按钮2 top row") << QPoint(60, 261) << "农历月历1";
    QTest::newRow("按钮2 third row") << QPoint(60, 262) << "按钮2";
    QTest::newRow("按钮4 top row") << QPoint(160, 260) << "农历月历1";
    QTest::newRow("按钮4 third row") << QPoint(160, 262) << "按钮4";
    QTest::newRow("clock") << QPoint(300, 120) << "农历月历1";
    QTest::newRow("clock right of it") << QPoint(366, 120) << "标签2";
    QTest::newRow("log upper left") << QPoint(300, 240) << "农历月历1";
    QTest::newRow("log right of it") << QPoint(400, 240) << "编辑框1";
    QTest::newRow("log below it") << QPoint(300, 300) << "编辑框1";
}

void CalendarLinksTest::calendarTakesTheClicksOfWhatItCovers() {
    QFETCH(QPoint, point);
    QFETCH(QString, under);
    Program p;
    QVERIFY(p.showAndActivate());
    QTest::mouseClick(p.find<QPushButton>("按钮7"), Qt::LeftButton);
    QVERIFY(p.calendar()->isVisible());

    // The topmost control at the point, or the one whose inside (viewport, field) is there.
    QWidget* w = p.window()->childAt(point);
    QVERIFY(w);
    while (w->parentWidget() != p.window()) w = w->parentWidget();
    QCOMPARE(w->objectName(), under);
}

void CalendarLinksTest::coveredButtonCannotBeClickedUntilHidden() {
    Program p;
    QVERIFY(p.showAndActivate());
    auto* countUp = p.find<QPushButton>("按钮1");
    int clicks = 0;
    QObject::connect(countUp, &QPushButton::clicked, [&clicks] { ++clicks; });
    const QPoint centre = countUp->geometry().center();

    QTest::mouseClick(p.find<QPushButton>("按钮7"), Qt::LeftButton);  // show
    qtui::LunarCalendar* calendar = p.calendar();
    // The 1st lies in the top row, far from the point clicked: the selection must move.
    const QDate before(calendar->shownYear(), calendar->shownMonth(), 1);
    calendar->setSelectedDate(before);
    // A real click at that point of the window, dispatched to whatever lies there.
    QTest::mouseClick(p.window()->windowHandle(), Qt::LeftButton, {}, centre);
    QTRY_VERIFY(calendar->selectedDate() != before || clicks > 0);
    QCOMPARE(clicks, 0);
    QCOMPARE(p.w.时钟1->period(), 0);  // counting did not start

    QTest::mouseClick(p.find<QPushButton>("按钮7"), Qt::LeftButton);  // hide
    QTest::mouseClick(p.window()->windowHandle(), Qt::LeftButton, {}, centre);
    QTRY_COMPARE(clicks, 1);
}

void CalendarLinksTest::toggledCalendarKeepsItsPageAndDay() {
    Program p;
    QVERIFY(p.showAndActivate());
    auto* button = p.find<QPushButton>("按钮7");
    qtui::LunarCalendar* calendar = p.calendar();
    QTest::mouseClick(button, Qt::LeftButton);
    calendar->setSelectedDate(QDate(2033, 12, 22));
    QTest::keyClick(calendar->focusProxy(), Qt::Key_PageDown);
    QTest::mouseClick(button, Qt::LeftButton);  // hide
    QVERIFY(!calendar->isVisible());
    QTest::mouseClick(button, Qt::LeftButton);  // show again
    QCOMPARE(calendar->selectedDate(), QDate(2034, 1, 22));
    QCOMPARE(calendar->shownYear(), 2034);
    QCOMPARE(calendar->shownMonth(), 1);
}

void CalendarLinksTest::typedTextNeverPicksAnItem_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("picked");  // picked from the list first; -1: nothing picked
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("index");  // the current item afterwards

    QTest::newRow("组合框1, a bank's full name") << "组合框1" << -1 << "中公题库" << -1;
    QTest::newRow("组合框1, over a picked bank") << "组合框1" << 2 << "华图题库" << 2;
    QTest::newRow("组合框2, an item's number") << "组合框2" << -1 << "20" << 0;
    QTest::newRow("组合框2, start of an item") << "组合框2" << -1 << "2" << 0;
}

void CalendarLinksTest::typedTextNeverPicksAnItem() {
    QFETCH(QString, box);
    QFETCH(int, picked);
    QFETCH(QString, typed);
    QFETCH(int, index);
    Program p;
    QVERIFY(p.showAndActivate());
    auto* combo = p.find<QComboBox>(box.toUtf8().constData());
    if (picked >= 0) pickFromList(combo, picked);
    QLineEdit* field = combo->lineEdit();
    field->setFocus();
    field->selectAll();
    type(field, typed);
    QTest::keyClick(field, Qt::Key_Return);
    p.find<QPushButton>("按钮1")->setFocus();  // leaving the field finishes the editing too
    QCOMPARE(combo->currentIndex(), index);
    QCOMPARE(combo->currentText(), typed);
}

void CalendarLinksTest::questionBank_data() {
    QTest::addColumn<int>("picked");  // -1: nothing picked
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("url");  // empty: asks to choose instead

    QTest::newRow("nothing chosen") << -1 << ""
                                    << "";
    QTest::newRow("typed, not picked") << -1 << "中公题库"
                                       << "";
    QTest::newRow("中公题库") << 0 << "" << config::kQuestionBank1Url;
    QTest::newRow("华图题库") << 1 << "" << config::kQuestionBank2Url;
    QTest::newRow("粉笔题库") << 2 << "" << config::kQuestionBank3Url;
    QTest::newRow("picked, then typed over") << 2 << "中公题库" << config::kQuestionBank3Url;
}

void CalendarLinksTest::questionBank() {
    QFETCH(int, picked);
    QFETCH(QString, typed);
    QFETCH(QString, url);
    Program p;
    QVERIFY(p.showAndActivate());
    auto* chooser = p.find<QComboBox>("组合框1");
    if (picked >= 0) pickFromList(chooser, picked);
    if (!typed.isEmpty()) {
        chooser->lineEdit()->setFocus();
        chooser->lineEdit()->selectAll();
        type(chooser->lineEdit(), typed);
    }
    BoxAnswerer answerer;
    QTest::mouseClick(p.find<QPushButton>("按钮12"), Qt::LeftButton);
    if (url.isEmpty()) {
        QCOMPARE(answerer.titles, QStringList{"信息："});
        QCOMPARE(answerer.texts, QStringList{"请选择一个题库"});
        QVERIFY(recorder_.urls.isEmpty());
    } else {
        QVERIFY(answerer.titles.isEmpty());
        QCOMPARE(recorder_.urls, QList<QUrl>{QUrl(url)});
        QCOMPARE(recorder_.urls[0].scheme(), QString("http"));
    }
}

void CalendarLinksTest::secondClickOpensAgainAndTheChooserKeepsItsItem() {
    Program p;
    QVERIFY(p.showAndActivate());
    auto* chooser = p.find<QComboBox>("组合框1");
    pickFromList(chooser, 1);
    auto* open = p.find<QPushButton>("按钮12");
    QTest::mouseClick(open, Qt::LeftButton);
    QTest::mouseClick(open, Qt::LeftButton);
    const QUrl expected(config::kQuestionBank2Url);
    QCOMPARE(recorder_.urls, (QList<QUrl>{expected, expected}));
    QCOMPARE(chooser->currentIndex(), 1);
    QCOMPARE(chooser->currentText(), QString("华图题库"));
}

QTEST_MAIN(CalendarLinksTest)
#include "calendar_links_test.moc"
