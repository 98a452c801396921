#include "qt/qt_desktop.h"

#include <QAudioOutput>
#include <QBuffer>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QMediaPlayer>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QUrl>

#include "records/file_io.h"
#include "text/convert.h"

namespace qtui {

void Desktop::showMessage(const std::string& title, const std::string& text) {
    QMessageBox box;
    box.setWindowTitle(QString::fromStdString(title));
    box.setTextFormat(Qt::PlainText);
    box.setText(QString::fromStdString(text).replace(QLatin1String("\r\n"), "\n"));
    box.setIcon(QMessageBox::NoIcon);
    box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

namespace {
int playing = 0;
}  // namespace

int Desktop::soundsPlaying() {
    return playing;
}

void Desktop::playSound(std::span<const std::uint8_t> wave) {
    // A player of its own for every start, so that an earlier sound still
    // playing is not cut off. QMediaPlayer rather than QSoundEffect: without
    // a sound device the latter claims to play for ever.
    auto* player = new QMediaPlayer;
    ++playing;
    auto* output = new QAudioOutput(player);
    auto* buffer = new QBuffer(player);
    buffer->setData(reinterpret_cast<const char*>(wave.data()),
                    static_cast<qsizetype>(wave.size()));
    buffer->open(QIODevice::ReadOnly);
    player->setAudioOutput(output);
    // The media backend reports the end from a GLib callback, where
    // deleteLater() would wait for the event loop to end; a queued call
    // deletes the player as soon as control is back in the loop.
    auto done = [player] {
        QMetaObject::invokeMethod(
            qApp,
            [p = QPointer<QMediaPlayer>(player)] {
                if (!p) return;
                delete p.data();
                --playing;
            },
            Qt::QueuedConnection);
    };
    QObject::connect(player, &QMediaPlayer::mediaStatusChanged, player,
                     [done](QMediaPlayer::MediaStatus st) {
                         if (st == QMediaPlayer::EndOfMedia || st == QMediaPlayer::InvalidMedia) {
                             done();
                         }
                     });
    QObject::connect(player, &QMediaPlayer::errorOccurred, player, done);
    // Whatever the media backend does, the player does not outlive the sound.
    QTimer::singleShot(30000, player, done);
    player->setSourceDevice(buffer, QUrl(QStringLiteral("alarm.wav")));
    player->play();
}

void Desktop::openUrl(const std::string& url) {
    QDesktopServices::openUrl(QUrl(QString::fromStdString(url)));
}

text::DateTime Desktop::now() const {
    return text::currentDateTime();
}

std::string Desktop::programFilePath() const {
    return records::io::programFilePath();
}

}  // namespace qtui
