// Hands in one record to the folder named by its argument, as a trainer does
// at a report; exits 0 when it was handed in, 1 with the reason otherwise.
// With --keep instead of a folder it only keeps the record in the outbox,
// with --keep-opening the opening record of its run;
// with --status FOLDER it writes the pupil's status twice, the second over
// the first, as a trainer does at each step. A second argument after the
// folder is the full name the record gives (a pupil borrowing another's).
#include "pupilstatus.h"
#include "resultstore.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    ResultRecord record = ResultRecord::ofThisAccount();
    record.id = ResultRecord::newId();
    record.topic = QStringLiteral("Физика");
    record.mode = ResultMode::Test2;
    record.started = record.finished = QDateTime::currentDateTime();
    record.grade = QStringLiteral("5");
    record.percent = 100;
    record.matches = 16;
    for (int k = 0; k < 16; ++k)
        record.steps.append({k, k, QString(), true, true, {}, {}});
    const QString folder = app.arguments().value(1);
    if (folder == QLatin1String("--status")) {
        PupilStatus status;
        status.id = record.id;
        status.user = record.user;
        status.host = record.host;
        status.topic = record.topic;
        status.started = status.updated = record.started;
        for (const int step : {1, 2}) {
            status.step = step;
            const QString error = PupilStatus::write(app.arguments().value(2), status);
            if (!error.isEmpty()) {
                std::fprintf(stderr, "%s\n", qPrintable(error));
                return 1;
            }
        }
        return 0;
    }
    if (app.arguments().size() > 2)
        record.name = app.arguments().at(2);
    if (folder == QLatin1String("--keep") || folder == QLatin1String("--keep-opening")) {
        const ResultRecord kept = folder == QLatin1String("--keep") ? record : ResultRecord::openingOf(record);
        return ResultStore::keep(kept).outcome == ResultStore::Outcome::Kept ? 0 : 1;
    }
    const ResultStore::Written written = ResultStore::write(folder, record);
    if (written.outcome != ResultStore::Outcome::HandedIn)
        std::fprintf(stderr, "%s\n", qPrintable(written.message));
    return written.outcome == ResultStore::Outcome::HandedIn ? 0 : 1;
}
