// The baseline: an empty QMainWindow of the editor's size.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.resize(524, 380);
    window.show();
    return app.exec();
}
