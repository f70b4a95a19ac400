// The baseline: an empty QMainWindow of the editor's size, ending at its first paint.
#include "FirstPaint.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.resize(524, 380);
    QuitOnFirstPaint quit(&window);
    window.show();
    return app.exec();
}
