#include "classsettings.h"
#include "forms/appsetup.h"
#include "topicchoice.h"
#include "topicchoicedialog.h"
#include "trainerform.h"

#include <cstdio>

// tesmora [FOLDER | --topic NAME]: the topic in FOLDER, the topic of that
// name, or with neither the only topic found or the one the pupil chooses.
int main(int argc, char *argv[])
{
    return AppSetup::runWith(argc, argv, "tesmora", [](QApplication &app) -> std::unique_ptr<TrainerForm> {
        const TopicChoice::Arguments arguments = TopicChoice::parse(app.arguments().mid(1));
        if (!arguments.error.isEmpty()) {
            std::fprintf(stderr, "tesmora: %s\n", qPrintable(arguments.error));
            app.setProperty("exitStatus", 2);
            return nullptr;
        }
        const ClassSettings settings = ClassSettings::load();
        // A folder on the command line needs no search.
        const QList<TopicCatalog::Topic> found
            = arguments.folder.isEmpty() ? TopicCatalog::find(settings.topicsFolder()) : QList<TopicCatalog::Topic>();
        std::optional<TopicChoice::Start> start = TopicChoice::resolve(arguments, found);
        if (!start) {
            TopicChoiceDialog dialog(found);
            if (dialog.exec() != QDialog::Accepted || !dialog.chosen())
                return nullptr;
            start = TopicChoice::of(*dialog.chosen());
        }
        auto window = std::make_unique<TrainerForm>(start->folder);
        window->setTopicName(start->title);
        window->setResultsFolder(settings.resultsFolder());
        if (!start->missingTopic.isEmpty())
            window->reportMissingTopic(start->missingTopic);
        return window;
    });
}
