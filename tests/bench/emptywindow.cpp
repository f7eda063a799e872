// The yardstick for the benchmarks: an empty Qt Widgets window of the
// trainer's size, built with the same flags as the programs.
#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("empty"));
    window.resize(783, 605);
    window.show();
    return app.exec();
}
