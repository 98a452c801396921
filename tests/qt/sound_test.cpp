// The alarm on the real media stack: it starts, returns at once, and ends by
// itself, also where there is no sound device at all.

#include <QApplication>
#include <QElapsedTimer>
#include <QtTest>

#include "qt/qt_desktop.h"
#include "resources/alarm_sound.h"

class SoundTest : public QObject {
    Q_OBJECT
  private slots:
    void alarmStartsWithoutWaitingAndEndsByItself() {
        qtui::Desktop desktop;
        QElapsedTimer t;
        t.start();
        desktop.playSound(resources::alarmSound());
        desktop.playSound(resources::alarmSound());  // a second one does not cut the first
        QVERIFY2(t.elapsed() < 1000, qPrintable(QString::number(t.elapsed())));
        QCOMPARE(qtui::Desktop::soundsPlaying(), 2);
        // About 4.8 s of sound, or nothing at all without a device.
        QTRY_COMPARE_WITH_TIMEOUT(qtui::Desktop::soundsPlaying(), 0, 35000);
    }

    void garbageIsSilentlyIgnored() {
        qtui::Desktop desktop;
        const std::uint8_t junk[] = {'n', 'o', 't', ' ', 'a', ' ', 'w', 'a', 'v', 'e'};
        desktop.playSound(junk);
        QTRY_COMPARE_WITH_TIMEOUT(qtui::Desktop::soundsPlaying(), 0, 35000);
    }
};

QTEST_MAIN(SoundTest)
#include "sound_test.moc"
