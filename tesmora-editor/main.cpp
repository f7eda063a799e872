#include "editorwindow.h"
#include "forms/appsetup.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("tesmora-editor"));
    AppSetup::installRussianTranslation(app);
    const QStringList args = QApplication::arguments();
    EditorWindow window(args.size() > 1 ? args.at(1) : TopicFile::trainerFolder());
    window.show();
    return app.exec();
}
