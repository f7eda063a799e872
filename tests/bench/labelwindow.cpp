// A second yardstick, for reference only: the empty window with one label.
// It pays what any window pays to show text at all (the font configuration,
// the font database, one font), which the empty window never does.
#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("label"));
    window.resize(783, 605);
    QLabel label(QStringLiteral("Обучение"), &window);
    label.move(16, 16);
    window.show();
    return app.exec();
}
