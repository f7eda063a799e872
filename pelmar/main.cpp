#include "appsetup.h"
#include "pelmarform.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    AppSetup::apply(app, "pelmar");
    PelmarForm form;
    QObject::connect(&form, &Form::ended, &app, &QApplication::quit, Qt::QueuedConnection);
    form.showForm();
    return app.exec();
}
