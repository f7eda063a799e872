#include "attemptrecovery.h"
#include "classlook.h"
#include "classsettings.h"
#include "core/commandline.h"
#include "folderproblem.h"
#include "forms/appsetup.h"
#include "resultstore.h"
#include "topicchoice.h"
#include "topicchoicedialog.h"
#include "trainerform.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr int kClassTopicsPatience = 5000;

CommandLine::Program program()
{
    return {"tesmora",
            QStringLiteral("Использование: tesmora [ПАПКА_ТЕМЫ | --topic ИМЯ]\n"
                           "       tesmora --hand-in\n"
                           "Тренажёр и тест по теме курса.\n\n"
                           "  ПАПКА_ТЕМЫ     папка с файлами темы test.txt и test1.txt\n"
                           "  --topic ИМЯ    тема по названию: из папки тем класса, своих или установленных\n"
                           "  --hand-in      передать учителю результаты, ждущие на этом компьютере,\n"
                           "                 без окна; код выхода 0, когда ничего не осталось, 1, когда\n"
                           "                 что-то ждёт или отложено\n"
                           "  --help         эта справка\n"
                           "  --version      версия программы\n"),
            {QStringLiteral("--topic"), QStringLiteral("--hand-in")},
            {QStringLiteral("--topic")}};
}

// tesmora --hand-in: one attempt at every result kept on this computer,
// without a window; 0 when nothing is left waiting, 1 when something is or
// was set aside as no record of this account.
int handIn(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc > 2) {
        std::fprintf(stderr, "tesmora: после --hand-in ничего не указывается\n");
        return 2;
    }
    const QString folder = ClassSettings::load().resultsFolder();
    if (folder.isEmpty()) {
        std::fprintf(stderr, "tesmora: папка результатов не задана (results= в class.conf)\n");
        return 2;
    }
    // Said first: every record below then waits for the same reason.
    if (const QString problem = FolderProblem::ofResults(folder, FolderProblem::Need::Write); !problem.isEmpty())
        std::fprintf(stderr, "tesmora: %s\n", qPrintable(problem));
    // Runs whose time is over, or whose picks are all made, end here too:
    // a computer switched off mid-run leaves nothing open for good.
    const AttemptRecovery::Outcome closed
        = AttemptRecovery::run(AttemptRecovery::Scope::HandIn, QString(), QDateTime::currentDateTime());
    for (const QString &line : closed.lines)
        std::fprintf(stderr, "tesmora: %s\n", qPrintable(line));
    const ResultStore::Round round = ResultStore::handInAll(folder);
    for (const QString &line : round.lines)
        std::fprintf(stderr, "tesmora: %s\n", qPrintable(line));
    return round.left == 0 && round.refused == 0 ? 0 : 1;
}

} // namespace

// tesmora [FOLDER | --topic NAME]: the topic in FOLDER, the topic of that
// name, or with neither the only topic found or the one the pupil chooses.
int main(int argc, char *argv[])
{
    if (const std::optional<int> status = CommandLine::answer(argc, argv, program()))
        return *status;
    if (argc > 1 && std::strcmp(argv[1], "--hand-in") == 0)
        return handIn(argc, argv);
    return AppSetup::runWith(argc, argv, "tesmora", [](QApplication &app) -> std::unique_ptr<TrainerForm> {
        const TopicChoice::Arguments arguments = TopicChoice::parse(app.arguments().mid(1));
        if (!arguments.error.isEmpty()) {
            std::fprintf(stderr, "tesmora: %s\n", qPrintable(arguments.error));
            app.setProperty("exitStatus", 2);
            return nullptr;
        }
        const ClassSettings settings = ClassSettings::load();
        // A class folder on a server that does not answer is left out, and
        // the pupil told; so is one that is not there.
        const ClassLook look = ClassLook::within(settings, arguments.folder.isEmpty(), kClassTopicsPatience);
        std::optional<TopicChoice::Start> start = TopicChoice::resolve(arguments, look.found);
        if (!start) {
            TopicChoiceDialog dialog(look.found);
            if (dialog.exec() != QDialog::Accepted || !dialog.chosen())
                return nullptr;
            start = TopicChoice::of(*dialog.chosen());
        }
        auto window = std::make_unique<TrainerForm>(start->folder);
        window->setTopicName(start->title);
        window->setResultsFolder(settings.resultsFolder());
        if (!start->missingTopic.isEmpty())
            window->reportMissingTopic(start->missingTopic);
        for (const QString &problem : look.problems)
            window->reportStartProblem(problem);
        return window;
    });
}
