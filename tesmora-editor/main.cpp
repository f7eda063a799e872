#include "classsettings.h"
#include "core/commandline.h"
#include "editorwindow.h"
#include "folderproblem.h"
#include "forms/appsetup.h"
#include "giftformat.h"
#include "reportprinter.h"
#include "resultfolder.h"
#include "resultswindow.h"
#include "resulttable.h"
#include "runreport.h"
#include "topiccatalog.h"
#include "topicfile.h"
#include "topicimport.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>

#include <cstdio>
#include <cstring>

namespace {

CommandLine::Program program()
{
    return {"tesmora-editor",
            QStringLiteral("Использование: tesmora-editor [ПАПКА_ТЕМЫ]\n"
                           "       tesmora-editor --results [ПАПКА_РЕЗУЛЬТАТОВ]\n"
                           "       tesmora-editor --results-csv [ПАПКА_РЕЗУЛЬТАТОВ] [--separator semicolon]\n"
                           "       tesmora-editor --results-pdf ФАЙЛ [ПАПКА_РЕЗУЛЬТАТОВ]\n"
                           "       tesmora-editor --import ФАЙЛ --to ПАПКА_ТЕМЫ\n"
                           "       tesmora-editor --export-gift ПАПКА_ТЕМЫ\n"
                           "Редактор темы тренажёра и результаты класса.\n\n"
                           "  ПАПКА_ТЕМЫ         папка темы (без неё — тема тренажёра)\n"
                           "  --results          окно результатов класса; без папки — results= из\n"
                           "                     class.conf\n"
                           "  --results-csv      таблица результатов в CSV по RFC 4180 на стандартный\n"
                           "                     вывод, без окна\n"
                           "  --results-pdf      таблица результатов, оценки и частые ошибки в PDF, без окна\n"
                           "  --import ФАЙЛ --to ПАПКА_ТЕМЫ\n"
                           "                     тема из таблицы CSV/TSV в два столбца или из вопросов\n"
                           "                     Moodle (GIFT) в ПАПКУ_ТЕМЫ без окна; что не стало парой,\n"
                           "                     выводится с причиной\n"
                           "  --export-gift      тема из ПАПКИ_ТЕМЫ вопросами GIFT для Moodle на стандартный\n"
                           "                     вывод\n"
                           "  --separator semicolon\n"
                           "                     с --results-csv: «;» между полями и десятичная запятая,\n"
                           "                     как для русской электронной таблицы\n"
                           "  --help             эта справка\n"
                           "  --version          версия программы\n"),
            {QStringLiteral("--results"), QStringLiteral("--results-csv"), QStringLiteral("--results-pdf"),
             QStringLiteral("--separator"), QStringLiteral("--import"), QStringLiteral("--to"),
             QStringLiteral("--export-gift")},
            {QStringLiteral("--separator"), QStringLiteral("--import"), QStringLiteral("--to"),
             QStringLiteral("--export-gift")}};
}

// The results folder given after an option, or else the class settings' one.
QString resultsFolder(const QString &given)
{
    return given.isEmpty() ? ClassSettings::load().resultsFolder() : given;
}

// The table of every record in the folder given, or the class settings'
// one, checked against the class topics as the window checks it, with what
// the folder cannot tell of who wrote its files; nothing, with the reason
// on standard error, when there is none to read.
struct Table
{
    ResultTable table;
    QString ownersNote;
};
std::optional<Table> readTable(const QString &given)
{
    const QString folder = resultsFolder(given);
    if (folder.isEmpty()) {
        std::fprintf(stderr, "tesmora-editor: папка результатов не задана (results= в class.conf)\n");
        return std::nullopt;
    }
    const QString classTopics = ClassSettings::load().topicsFolder();
    if (const QString problem = FolderProblem::ofTopics(classTopics); !problem.isEmpty())
        std::fprintf(stderr, "tesmora-editor: %s\n", qPrintable(problem));
    const ResultFolder results = ResultFeed::readOnce(folder, TopicCatalog::versions(classTopics));
    if (!results.error().isEmpty()) {
        std::fprintf(stderr, "tesmora-editor: %s\n", qPrintable(results.error()));
        return std::nullopt;
    }
    if (results.unreadable() > 0)
        std::fprintf(stderr, "tesmora-editor: %s\n", qPrintable(results.unreadableText()));
    Table table{{}, results.ownersNote()};
    if (!table.ownersNote.isEmpty())
        std::fprintf(stderr, "tesmora-editor: %s\n", qPrintable(table.ownersNote));
    table.table.setEntries(results.entries());
    return table;
}

// tesmora-editor --results-csv [FOLDER] [--separator semicolon]: the results
// table on standard output, without a window or a display.
int writeCsv(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QString given;
    ResultTable::CsvStyle style = ResultTable::CsvStyle::Rfc4180;
    const QStringList args = QCoreApplication::arguments().mid(2);
    for (int k = 0; k < args.size(); ++k) {
        const QString &arg = args[k];
        if (arg == QLatin1String("--"))
            continue;
        if (arg == QLatin1String("--separator") || arg.startsWith(QLatin1String("--separator="))) {
            const QString value = arg.contains(QLatin1Char('=')) ? arg.section(QLatin1Char('='), 1) : args.value(++k);
            if (value != QLatin1String("semicolon") && value != QLatin1String("comma")) {
                std::fprintf(stderr, "tesmora-editor: после --separator нужно semicolon или comma\n");
                return 2;
            }
            style
                = value == QLatin1String("semicolon") ? ResultTable::CsvStyle::Russian : ResultTable::CsvStyle::Rfc4180;
        } else if (given.isEmpty()) {
            given = arg;
        } else {
            std::fprintf(stderr, "tesmora-editor: папка результатов указана больше одного раза\n");
            return 2;
        }
    }
    const std::optional<Table> table = readTable(given);
    if (!table)
        return 2;
    QFile out;
    if (!out.open(stdout, QIODevice::WriteOnly) || out.write(table->table.csv(style)) < 0 || !out.flush())
        return 2;
    return 0;
}

// tesmora-editor --results-pdf FILE [FOLDER]: what "Печать…" prints, as a PDF,
// without a window or a display.
int writePdf(int argc, char *argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments().mid(2);
    if (args.isEmpty() || args.size() > 2) {
        std::fprintf(stderr, "tesmora-editor: после --results-pdf нужен файл PDF и, если нужно, папка результатов\n");
        return 2;
    }
    const std::optional<Table> table = readTable(args.value(1));
    if (!table)
        return 2;
    const QStringList topics = table->table.topics();
    const QString title = RunReport::tableTitle(table->table, topics, resultsFolder(args.value(1)));
    const QString error = ReportPrinter::writePdf(
        args[0], title,
        RunReport::table(table->table, title, topics,
                         ResultFeed::readTopics(ClassSettings::load().topicsFolder()).questions, table->ownersNote),
        ReportPrinter::Paper::Landscape);
    if (!error.isEmpty()) {
        std::fprintf(stderr, "tesmora-editor: не удалось записать %s: %s\n", qPrintable(args[0]), qPrintable(error));
        return 2;
    }
    return 0;
}

// tesmora-editor --import FILE --to FOLDER: the topic of a table or GIFT
// file saved in FOLDER as the editor saves it, in Windows-1251 where it can be.
int importTopic(const QStringList &args)
{
    const qsizetype to = args.indexOf(QStringLiteral("--to"));
    const QString file = args.value(args.indexOf(QStringLiteral("--import")) + 1);
    const QString folder = to < 0 ? QString() : args.value(to + 1);
    if (args.size() != 4 || file.isEmpty() || folder.isEmpty()) {
        std::fprintf(stderr, "tesmora-editor: нужно --import ФАЙЛ --to ПАПКА_ТЕМЫ\n");
        return 2;
    }
    QString error;
    ImportedPairs imported = TopicImport::read(file, &error);
    if (imported.pairs.size() > TopicFile::MaxPairs) {
        imported.skipped << QStringLiteral("пары с %1-й по %2-ю: тренажёр читает не больше %3")
                                .arg(TopicFile::MaxPairs)
                                .arg(imported.pairs.size() - 1)
                                .arg(TopicFile::MaxPairs);
        imported.pairs.resize(TopicFile::MaxPairs);
    }
    for (const QString &line : imported.skipped) {
        const char *said = line.contains(QStringLiteral("не взят")) ? "" : "не взято: ";
        std::fprintf(stderr, "tesmora-editor: %s%s\n", said, qPrintable(line));
    }
    for (const QString &line : imported.changed)
        std::fprintf(stderr, "tesmora-editor: %s\n", qPrintable(line));
    if (imported.pairs.isEmpty()) {
        std::fprintf(stderr, "tesmora-editor: %s\n", qPrintable(error));
        return 2;
    }
    TopicFile::Encoding encoding = TopicFile::Encoding::Windows1251;
    if (const auto refusal = TopicFile::check(imported.pairs, encoding); refusal && refusal->encoding)
        encoding = TopicFile::Encoding::Utf8;
    if (const auto refusal = TopicFile::check(imported.pairs, encoding)) {
        std::fprintf(stderr, "tesmora-editor: %s\n", qPrintable(refusal->message));
        return 2;
    }
    const QString made = QFileInfo(folder).isDir() ? QString() : TopicSave::makeFolder(folder);
    const TopicSave::Result saved
        = made.isEmpty() ? TopicFile::save(folder, imported.pairs, encoding) : TopicSave::Result{false, made};
    if (!saved.message.isEmpty())
        std::fprintf(stderr, "tesmora-editor: %s\n", qPrintable(saved.message));
    if (!saved.saved)
        return 2;
    std::printf("%s\n", qPrintable(QStringLiteral("Сохранено пар: %1 в %2").arg(imported.pairs.size()).arg(folder)));
    return 0;
}

// tesmora-editor --export-gift FOLDER: the topic as Moodle imports it.
int exportGift(const QStringList &args)
{
    if (args.size() != 2) {
        std::fprintf(stderr, "tesmora-editor: после --export-gift нужна одна папка темы\n");
        return 2;
    }
    if (!QFileInfo(args[1]).isDir()) {
        std::fprintf(stderr, "tesmora-editor: папки %s нет\n", qPrintable(args[1]));
        return 2;
    }
    const TopicFile::Loaded topic = TopicFile::read(args[1]);
    if (topic.pairs.isEmpty()) {
        std::fprintf(stderr, "tesmora-editor: в папке %s нет пар темы\n", qPrintable(args[1]));
        return 2;
    }
    QFile out;
    const QByteArray text = GiftFormat::write(topic.pairs, QFileInfo(QDir::cleanPath(args[1])).fileName()).toUtf8();
    return out.open(stdout, QIODevice::WriteOnly) && out.write(text) == text.size() && out.flush() ? 0 : 2;
}

} // namespace

// tesmora-editor [FOLDER]: the topic in FOLDER (the trainer's own by default);
// --results [FOLDER]: the results window; --results-csv FOLDER: the table as CSV.
int main(int argc, char *argv[])
{
    if (const std::optional<int> status = CommandLine::answer(argc, argv, program()))
        return *status;
    if (argc > 1 && std::strcmp(argv[1], "--results-csv") == 0)
        return writeCsv(argc, argv);
    if (argc > 1 && std::strcmp(argv[1], "--results-pdf") == 0)
        return writePdf(argc, argv);
    // --to belongs to --import alone: never a topic folder of its own.
    if (argc > 1 && std::strcmp(argv[1], "--to") == 0) {
        std::fprintf(stderr, "tesmora-editor: --to пишется после --import ФАЙЛ\n");
        return 2;
    }
    if (argc > 1 && (std::strcmp(argv[1], "--import") == 0 || std::strcmp(argv[1], "--export-gift") == 0)) {
        QCoreApplication app(argc, argv);
        const QStringList args = QCoreApplication::arguments().mid(1);
        return args.first() == QLatin1String("--import") ? importTopic(args) : exportGift(args);
    }
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("tesmora-editor"));
    AppSetup::installRussianTranslation(app);
    const QStringList args = QApplication::arguments();
    if (args.value(1) == QLatin1String("--results")) {
        const ClassSettings settings = ClassSettings::load();
        const QString folder = resultsFolder(args.value(2));
        if (folder.isEmpty()) {
            std::fprintf(stderr, "tesmora-editor: папка результатов не задана (results= в class.conf)\n");
            return 2;
        }
        ResultsWindow window(folder, settings.topicsFolder());
        window.show();
        return app.exec();
    }
    // A folder after "--" may begin with a dash.
    QStringList folders = args.mid(1);
    folders.removeAll(QStringLiteral("--"));
    EditorWindow window(folders.isEmpty() ? TopicFile::trainerFolder() : folders.first());
    window.show();
    return app.exec();
}
