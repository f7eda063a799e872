#include "appsetup.h"
#include "doloranform.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    AppSetup::apply(app, "doloran");
    DoloranForm form;
    QObject::connect(&form, &Form::ended, &app, &QApplication::quit, Qt::QueuedConnection);
    form.showForm();
    return app.exec();
}
