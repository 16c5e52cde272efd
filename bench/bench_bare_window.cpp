// The baseline of the start-up benchmark: a bare Qt window of the main
// window's size, started the same way, reporting and ending at its first idle
// moment after its first paint, as the program does under VARNEX_QUIT_AT_FIRST_IDLE.

#include "FirstPaint.h"

#include <QApplication>
#include <QWidget>

#include <chrono>
#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(833, 566);
    AtFirstIdleAfterPaint(&window, [] {
        bool ok = false;
        const qint64 start = qEnvironmentVariable("VARNEX_START_NS").toLongLong(&ok);
        if (ok)
            std::fprintf(stderr, "first idle after %.1f ms\n",
                         double(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                    std::chrono::system_clock::now().time_since_epoch())
                                    .count() -
                                start) /
                             1e6);
        QCoreApplication::quit();
    });
    window.show();
    return app.exec();
}
