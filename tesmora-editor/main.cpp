#include "classsettings.h"
#include "editorwindow.h"
#include "forms/appsetup.h"
#include "resultfolder.h"
#include "resultswindow.h"
#include "resulttable.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFile>

#include <cstdio>
#include <cstring>

namespace {

// tesmora-editor --results-csv FOLDER: the results table on standard output,
// without a window or a display.
int writeCsv(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString folder = QCoreApplication::arguments().value(2);
    if (folder.isEmpty()) {
        std::fprintf(stderr, "tesmora-editor: после --results-csv нужна папка результатов\n");
        return 2;
    }
    ResultFolder results(folder);
    if (!results.refresh()) {
        std::fprintf(stderr, "tesmora-editor: %s\n", qPrintable(results.error()));
        return 2;
    }
    ResultTable table;
    table.setEntries(results.entries());
    QFile out;
    if (!out.open(stdout, QIODevice::WriteOnly) || out.write(table.csv()) < 0 || !out.flush())
        return 2;
    if (results.unreadable() > 0)
        std::fprintf(stderr, "tesmora-editor: %s\n", qPrintable(results.unreadableText()));
    return 0;
}

} // namespace

// tesmora-editor [FOLDER]: the topic in FOLDER (the trainer's own by default);
// --results [FOLDER]: the results window; --results-csv FOLDER: the table as CSV.
int main(int argc, char *argv[])
{
    if (argc > 1 && std::strcmp(argv[1], "--results-csv") == 0)
        return writeCsv(argc, argv);
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("tesmora-editor"));
    AppSetup::installRussianTranslation(app);
    const QStringList args = QApplication::arguments();
    if (args.value(1) == QLatin1String("--results")) {
        const ClassSettings settings = ClassSettings::load();
        const QString folder = args.size() > 2 ? args.at(2) : settings.resultsFolder();
        if (folder.isEmpty()) {
            std::fprintf(stderr, "tesmora-editor: папка результатов не задана (results= в class.conf)\n");
            return 2;
        }
        ResultsWindow window(folder, settings.topicsFolder());
        window.show();
        return app.exec();
    }
    EditorWindow window(args.size() > 1 ? args.at(1) : TopicFile::trainerFolder());
    window.show();
    return app.exec();
}
