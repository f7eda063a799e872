#include "classlook.h"

#include "folderproblem.h"

#include <chrono>
#include <future>
#include <memory>
#include <thread>

ClassLook ClassLook::now(const ClassSettings &settings, bool search)
{
    ClassLook look;
    if (search)
        look.found = TopicCatalog::find(settings.topicsFolder());
    look.problems << FolderProblem::ofTopics(settings.topicsFolder())
                  << FolderProblem::ofResults(settings.resultsFolder(), FolderProblem::Need::Write);
    look.problems.removeAll(QString());
    return look;
}

ClassLook ClassLook::within(const ClassSettings &settings, bool search, int milliseconds)
{
    if (settings.topicsFolder().isEmpty() && settings.resultsFolder().isEmpty())
        return now(settings, search);
    auto task = std::make_shared<std::packaged_task<ClassLook()>>([settings, search] { return now(settings, search); });
    std::future<ClassLook> result = task->get_future();
    std::thread([task] { (*task)(); }).detach();
    if (result.wait_for(std::chrono::milliseconds(milliseconds)) == std::future_status::ready)
        return result.get();
    ClassLook look;
    if (search)
        look.found = TopicCatalog::find(QString());
    look.problems
        << (settings.topicsFolder().isEmpty()
                ? QStringLiteral("Папка результатов недоступна: %1 (сервер не отвечает)").arg(settings.resultsFolder())
                : QStringLiteral("Папка тем класса недоступна: ") + settings.topicsFolder());
    return look;
}
