// The Qt backend builds MainWindow as designed, and the real program's
// clock moves when its real buttons are clicked.

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QtTest>

#include "app/startup.h"
#include "form/main_window.h"
#include "qt/qt_desktop.h"
#include "qt/qt_timer.h"
#include "qt/qt_toolkit.h"
#include "qt_program.h"

namespace {

using Program = QtProgram;

QRect rectOf(const ui::ControlDesign& d) {
    return {d.x, d.y, d.width, d.height};
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void everyControlAsDesigned_data();
    void everyControlAsDesigned();
    void stackingFollowsTheDesignTable();
    void windowIsFixedCentredAndHasItsIcon();
    void logIsGreenOnBlackReadOnly();
    void choosersHoldTheirItems();
    void escClosesFromAnyControl_data();
    void escClosesFromAnyControl();
    void enterMovesNoFocus();
    void messageBoxHasOneChineseOkButtonAndNoIcon();
    void startUpGreetsThenShowsTheWindow();
    void realButtonsMoveTheRealClock();
    void timerKeepsPhaseOnSamePeriodAndRestartsOtherwise();
    void blockedThreadLosesNoTick();
};

void MainWindowTest::everyControlAsDesigned_data() {
    QTest::addColumn<int>("index");
    for (int i = 0; i < static_cast<int>(form::kMainWindowControls.size()); ++i) {
        const ui::ControlDesign& d = form::kMainWindowControls[static_cast<std::size_t>(i)];
        if (d.kind != ui::Kind::Timer) QTest::newRow(d.name) << i;
    }
}

void MainWindowTest::everyControlAsDesigned() {
    QFETCH(int, index);
    const ui::ControlDesign& d = form::kMainWindowControls[static_cast<std::size_t>(index)];
    Program p;
    auto* w = p.find<QWidget>(d.name);
    QVERIFY2(w, d.name);
    QCOMPARE(w->geometry(), rectOf(d));
    QCOMPARE(!w->isHidden(), d.visible);
    QVERIFY(w->isEnabled());  // nothing is created disabled
    if (d.fontPixels) {
        QCOMPARE(w->font().pixelSize(), d.fontPixels);
        QCOMPARE(w->font().bold(), d.bold);
    }
    if (d.foreground) {
        QColor c(d.foreground->r, d.foreground->g, d.foreground->b);
        QCOMPARE(w->palette().color(QPalette::WindowText), c);
    }
    QString text = QString::fromUtf8(d.text);
    if (auto* b = qobject_cast<QPushButton*>(w)) {
        QCOMPARE(b->text(), text);
        QVERIFY(!b->isDefault() && !b->autoDefault());
        QVERIFY(b->icon().isNull());
    } else if (auto* l = qobject_cast<QLabel*>(w)) {
        QCOMPARE(l->text(), text);
        QCOMPARE(l->textFormat(), Qt::PlainText);
        QCOMPARE(l->autoFillBackground(), d.kind == ui::Kind::Label);
        QCOMPARE(bool(l->alignment() & Qt::AlignHCenter), d.align == ui::Align::Center);
    } else if (auto* e = qobject_cast<QLineEdit*>(w)) {
        QCOMPARE(e->text(), text);
        QVERIFY(!e->isReadOnly());
        QCOMPARE(e->maxLength(), 32767);  // Qt's largest: no limit of our own
    }
    // A screen reader finds every control by a name.
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
    QVERIFY(a);
    if (d.kind != ui::Kind::GroupBox) QVERIFY2(!a->text(QAccessible::Name).isEmpty(), d.name);
}

void MainWindowTest::stackingFollowsTheDesignTable() {
    Program p;
    QList<QWidget*> order;  // bottom to top, as Qt paints siblings
    for (QObject* o : p.window()->children()) {
        if (auto* w = qobject_cast<QWidget*>(o)) order << w;
    }
    int previous = std::numeric_limits<int>::max();
    for (const ui::ControlDesign& d : form::kMainWindowControls) {
        if (d.kind == ui::Kind::Timer) continue;
        int at = static_cast<int>(order.indexOf(p.find<QWidget>(d.name)));
        QVERIFY2(at >= 0 && at < previous, d.name);
        previous = at;
    }
    // Where the motto and the clock overlap, the clock lies above.
    QCOMPARE(p.window()->childAt(100, 70), p.find<QWidget>("标签2"));
}

void MainWindowTest::windowIsFixedCentredAndHasItsIcon() {
    Program p;
    QWidget* w = p.window();
    QCOMPARE(w->windowTitle(), QStringLiteral("Kestrune公考计时器"));
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    QCOMPARE(w->frameGeometry().size(), QSize(689, 386));
    QCOMPARE(w->minimumSize(), w->maximumSize());
    QRect screen = w->screen()->geometry();
    QCOMPARE(w->frameGeometry().topLeft(),
             QPoint((screen.width() - 689) / 2, (screen.height() - 386) / 2));
    Qt::WindowFlags f = w->windowFlags();
    QVERIFY(f & Qt::WindowMinimizeButtonHint);
    QVERIFY(f & Qt::WindowMaximizeButtonHint);
    QVERIFY(f & Qt::WindowCloseButtonHint);
    QList<QSize> sizes = w->windowIcon().availableSizes();
    for (int s : {16, 24, 32, 48}) QVERIFY(sizes.contains(QSize(s, s)));
}

void MainWindowTest::logIsGreenOnBlackReadOnly() {
    Program p;
    auto* log = p.find<QPlainTextEdit>("编辑框1");
    QVERIFY(log->isReadOnly());
    QCOMPARE(log->palette().color(QPalette::Text), QColor(0, 255, 0));
    QCOMPARE(log->palette().color(QPalette::Base), QColor(0, 0, 0));
    QCOMPARE(log->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(log->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    p.w.编辑框1->setText("》》》》》》x");
    p.w.编辑框1->appendText("\r\nNo.1：常识判断-25分钟-题量：10");
    QCOMPARE(QString::fromStdString(p.w.编辑框1->text()),
             QStringLiteral("》》》》》》x\r\nNo.1：常识判断-25分钟-题量：10"));
    QVERIFY(!log->textCursor().hasSelection());
    QVERIFY(log->textCursor().atEnd());
}

void MainWindowTest::choosersHoldTheirItems() {
    Program p;
    auto* count = p.find<QComboBox>("组合框2");
    QVERIFY(count->isEditable());
    QCOMPARE(count->count(), 9);
    QCOMPARE(count->currentText(), QStringLiteral("未选"));
    QCOMPARE(count->currentIndex(), 0);
    auto* bank = p.find<QComboBox>("组合框1");
    QCOMPARE(bank->count(), 3);
    QCOMPARE(bank->currentIndex(), -1);
    QCOMPARE(bank->currentText(), QString());
    auto* sections = p.find<QListWidget>("选择列表框1");
    QCOMPARE(sections->count(), 13);
    QCOMPARE(sections->currentRow(), 0);
    QCOMPARE(sections->item(0)->text(), QStringLiteral("常规计时（单项）"));
    // One mark at most, and once set it cannot be cleared, only moved.
    sections->item(2)->setCheckState(Qt::Checked);
    sections->item(4)->setCheckState(Qt::Checked);
    QCOMPARE(sections->item(2)->checkState(), Qt::Unchecked);
    QCOMPARE(sections->item(4)->checkState(), Qt::Checked);
    sections->item(4)->setCheckState(Qt::Unchecked);
    QCOMPARE(sections->item(4)->checkState(), Qt::Checked);
}

void MainWindowTest::escClosesFromAnyControl_data() {
    QTest::addColumn<QString>("control");
    for (const char* n : {"编辑框1", "组合框2", "组合框1", "编辑框2", "选择列表框1", "按钮1"}) {
        QTest::newRow(n) << QString::fromUtf8(n);
    }
}

void MainWindowTest::escClosesFromAnyControl() {
    QFETCH(QString, control);
    Program p;
    p.window()->show();
    p.window()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(p.window()));
    auto* target = p.window()->findChild<QWidget*>(control);
    target->setFocus();
    QWidget* focus = QApplication::focusWidget();
    QVERIFY(focus);
    QTest::keyClick(focus, Qt::Key_Escape);
    QTRY_VERIFY(!p.window()->isVisible());
}

void MainWindowTest::enterMovesNoFocus() {
    Program p;
    p.window()->show();
    p.window()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(p.window()));
    auto* box = p.find<QLineEdit>("编辑框2");
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Return);
    QTest::keyClick(box, Qt::Key_Enter);
    QCOMPARE(QApplication::focusWidget(), box);
    QVERIFY(p.window()->isVisible());
}

void MainWindowTest::messageBoxHasOneChineseOkButtonAndNoIcon() {
    qtui::Desktop desktop;
    BoxAnswerer answer;
    desktop.showMessage("信息：", "时间已结束");
    QCOMPARE(answer.titles, QStringList{QStringLiteral("信息：")});
    QCOMPARE(answer.texts, QStringList{QStringLiteral("时间已结束")});
    QCOMPARE(answer.buttons, QStringList{QStringLiteral("确定")});
    QVERIFY(answer.iconless);
}

void MainWindowTest::startUpGreetsThenShowsTheWindow() {
    Program p;
    BoxAnswerer answer;
    bool windowShownDuringGreeting = true;
    answer.whileOpen = [&](QMessageBox*) { windowShownDuringGreeting = p.window()->isVisible(); };
    app::setUpMainWindow(p.session);
    QVERIFY(!windowShownDuringGreeting);
    QCOMPARE(answer.titles, QStringList{QStringLiteral("※寄语※")});
    QVERIFY(answer.texts.first().startsWith(QString(14, ' ') + "莫要轻言做题苦"));
    QCOMPARE(p.window()->windowTitle(), QStringLiteral("Kestrune公考计时器V1.2"));
    QCOMPARE(p.find<QLabel>("标签2")->text(), QStringLiteral("00:00:00"));
    QVERIFY(p.find<QPlainTextEdit>("编辑框1")->toPlainText().startsWith("》》》》》》"));
    for (const char* b : {"按钮5", "按钮6", "按钮9", "按钮10", "按钮11"}) {
        QVERIFY2(!p.find<QPushButton>(b)->isEnabled(), b);
    }
}

void MainWindowTest::realButtonsMoveTheRealClock() {
    Program p;
    BoxAnswerer answer;
    app::setUpMainWindow(p.session);
    p.window()->show();
    QVERIFY(QTest::qWaitForWindowExposed(p.window()));
    QTest::mouseClick(p.find<QPushButton>("按钮1"), Qt::LeftButton);
    QVERIFY(!p.find<QPushButton>("按钮2")->isEnabled());
    QTRY_COMPARE_WITH_TIMEOUT(p.find<QLabel>("标签2")->text(), QStringLiteral("00:00:02"), 3000);
    QTest::mouseClick(p.find<QPushButton>("按钮4"), Qt::LeftButton);
    QCOMPARE(p.find<QLineEdit>("编辑框2")->text(), QStringLiteral("0"));
    QCOMPARE(p.find<QPushButton>("按钮1")->text(), QStringLiteral("继续"));
    QVERIFY(p.find<QPushButton>("按钮5")->isEnabled());
    QTest::qWait(1200);
    QCOMPARE(p.find<QLabel>("标签2")->text(), QStringLiteral("00:00:02"));
    QTest::mouseClick(p.find<QPushButton>("按钮3"), Qt::LeftButton);
    QCOMPARE(p.find<QLabel>("标签2")->text(), QStringLiteral("00:00:00"));
}

void MainWindowTest::timerKeepsPhaseOnSamePeriodAndRestartsOtherwise() {
    qtui::Timer t;
    QElapsedTimer clock;
    QList<qint64> ticks;
    t.setOnTick([&] { ticks << clock.elapsed(); });
    clock.start();
    t.setPeriod(200);
    QTest::qWait(300);
    t.setPeriod(200);  // same period: the next tick stays at 400 ms
    QTRY_COMPARE_WITH_TIMEOUT(ticks.size(), 2, 1000);
    QVERIFY2(qAbs(ticks[1] - 400) < 60, qPrintable(QString::number(ticks[1])));
    QTest::qWait(100);  // now at about 500 ms
    t.setPeriod(300);   // another period: first tick one period later
    qint64 restarted = clock.elapsed();
    QTRY_COMPARE_WITH_TIMEOUT(ticks.size(), 3, 1000);
    QVERIFY2(qAbs(ticks[2] - restarted - 300) < 60, qPrintable(QString::number(ticks[2])));
    t.setPeriod(0);
    QTest::qWait(700);
    QCOMPARE(ticks.size(), 3);
}

// A handler that blocks the thread costs no tick: the overdue ones follow
// one by one, so the count matches the whole periods elapsed.
void MainWindowTest::blockedThreadLosesNoTick() {
    qtui::Timer t;
    QElapsedTimer clock;
    int ticks = 0;
    t.setOnTick([&] {
        if (++ticks == 1) QThread::msleep(650);
    });
    clock.start();
    t.setPeriod(100);
    QTest::qWait(1050);
    t.setPeriod(0);
    QVERIFY2(ticks == 10, qPrintable(QString::number(ticks)));
}

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
