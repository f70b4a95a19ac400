// The second baseline: the bare window with one line of text in it. The
// first text a program shows has fontconfig read the system's font
// configuration and Qt build its font database, which no window that shows
// a word can skip and the bare window never does.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.resize(524, 380);
    window.setCentralWidget(new QLabel(QStringLiteral("Question 1")));
    window.show();
    return app.exec();
}
