// The floor of the start-up figures: a bare Qt Widgets program that shows one empty window of the
// tool's size, built with the same flags.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QWidget window;
    window.setFixedSize(592, 112);
    window.show();
    return QApplication::exec();
}
