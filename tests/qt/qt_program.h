#pragma once
// Shared by the Qt tests: the whole program on the Qt backend with its
// handlers bound, and a user who answers its message boxes.

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "app/startup.h"
#include "form/main_window.h"
#include "qt/qt_desktop.h"
#include "qt/qt_toolkit.h"

struct QtProgram {
    ClockState clock;
    qtui::Desktop desktop;
    qtui::Toolkit toolkit;
    MainWindow w = form::createMainWindow(toolkit);
    Session session{w, clock, desktop, toolkit};

    QtProgram() { app::bindEvents(session); }
    QWidget* window() { return qtui::Toolkit::widgetOf(*w.window); }
    template <class T>
    T* find(const char* name) {
        return window()->findChild<T*>(QString::fromUtf8(name));
    }
    QPushButton* button(const char* name) { return find<QPushButton>(name); }
    void click(const char* name) { QTest::mouseClick(button(name), Qt::LeftButton); }
    bool showAndActivate() {
        window()->show();
        window()->activateWindow();
        return QTest::qWaitForWindowActive(window());
    }
};

// Closes every modal box that opens, as a user would, remembering what it
// said; whileOpen looks at the screen before the click.
struct BoxAnswerer {
    QStringList titles, texts, buttons;
    bool iconless = true;
    std::function<void(QMessageBox*)> whileOpen;
    QTimer timer;

    BoxAnswerer() {
        timer.setInterval(20);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible()) return;
            titles << box->windowTitle();
            texts << box->text();
            for (QAbstractButton* b : box->buttons()) buttons << b->text();
            iconless = iconless && box->icon() == QMessageBox::NoIcon;
            if (whileOpen) whileOpen(box);
            box->buttons().first()->click();
        });
        timer.start();
    }
    void clear() {
        titles.clear();
        texts.clear();
        buttons.clear();
    }
};
