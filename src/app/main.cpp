// Program entry: builds the window, greets, runs the message loop.

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <exception>

#include "app/startup.h"
#include "form/main_window.h"
#include "qt/qt_desktop.h"
#include "qt/qt_toolkit.h"
#include "qt/style.h"

int main(int, char** argv) {
#ifdef Q_OS_LINUX
    // Qt's ffmpeg media backend crashes the process when it starts a sound
    // here; the GStreamer one plays the alarm, or stays silent without a
    // device. Nothing else of the environment is the program's business.
    qputenv("QT_MEDIA_BACKEND", "gstreamer");
#endif
    // The command line is not the program's input: Qt sees the name alone.
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QApplication application(qtArgc, qtArgv);

    // Qt's own texts (context menus of the boxes) in Chinese, like the rest.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                     QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&qtTexts);
    }

    qtui::useDesktopMetrics();

    ClockState clock;
    qtui::Desktop desktop;
    qtui::Toolkit toolkit;
    MainWindow window;
    try {
        window = form::createMainWindow(toolkit);
    } catch (const std::exception&) {
        desktop.showMessage("错误", "加载启动窗口失败，程序无法启动。");
        return 1;
    }
    Session session{window, clock, desktop, toolkit};
    app::bindEvents(session);
    app::setUpMainWindow(session);
    window.window->setVisible(true);
    int status = QApplication::exec();
    app::exitCleanUp(clock);
    return status;
}
