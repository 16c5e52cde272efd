// The baseline of the start-up benchmark: a bare Qt window of the main
// window's size, started the same way and ended at its first idle moment.

#include <QApplication>
#include <QTimer>
#include <QWidget>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(833, 566);
    QTimer::singleShot(0, &app, &QCoreApplication::quit);
    window.show();
    return app.exec();
}
