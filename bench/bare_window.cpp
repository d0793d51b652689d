// The reference for start-up: a bare Qt main window of the same size, started
// the same way and reporting its first paint the same way.
#include "app/first_paint.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QMainWindow window;
    window.setFixedSize(992, 658);
    tavrin::reportFirstPaint(&window);
    window.show();
    return application.exec();
}
