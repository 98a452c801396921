// The baseline: the least a Qt Widgets program does to greet its user.
#include <QApplication>
#include <QMessageBox>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMessageBox box;
    box.setWindowTitle(QStringLiteral("※寄语※"));
    box.setText(QStringLiteral("莫要轻言做题苦,想想长征二万五！"));
    box.exec();
    return 0;
}
