#include "appsetup.h"
#include "trainerform.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    AppSetup::apply(app, "tesmora");
    TrainerForm form;
    QObject::connect(&form, &Form::ended, &app, &QApplication::quit, Qt::QueuedConnection);
    form.showForm();
    return app.exec();
}
