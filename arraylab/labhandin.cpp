#include "labhandin.h"

#include "classsettings.h"
#include "recordcheck.h"
#include "resultcourier.h"

LabHandIn::LabHandIn(QObject *parent)
    : m_parent(parent)
{}

ResultRecord LabHandIn::record(const ResultRecord::LabRun &run, const QDateTime &started, const QDateTime &finished)
{
    ResultRecord r = ResultRecord::ofThisAccount();
    r.id = ResultRecord::newId();
    r.mode = ResultMode::Lab;
    r.lab = run;
    r.topic = QStringLiteral("%1: %2").arg(run.lab, run.operation);
    r.started = started;
    r.finished = finished;
    const RecordCheck::Figures figures = RecordCheck::fromSteps(r);
    r.matches = run.guessedRight;
    r.errors = run.guesses - run.guessedRight;
    r.percent = figures.percent;
    r.grade = figures.grade;
    return r;
}

ResultCourier *LabHandIn::courier()
{
    if (!m_looked) {
        m_looked = true;
        const QString folder = ClassSettings::load().resultsFolder();
        if (!folder.isEmpty())
            m_courier = new ResultCourier(folder, m_parent);
    }
    return m_courier;
}

bool LabHandIn::handIn(const ResultRecord &record)
{
    if (!courier())
        return false;
    m_courier->submit(record);
    return true;
}
