#include "recordcheck.h"

#include <cmath>

namespace {

constexpr int kSteps = 16;

} // namespace

const QString RecordCheck::FiguresDisagree = QStringLiteral("цифры не сходятся с ответами");

RecordCheck::Figures RecordCheck::fromSteps(const ResultRecord &record)
{
    Figures f;
    if (record.mode == ResultMode::Lab) {
        const ResultRecord::LabRun &lab = record.lab;
        f.matches = lab.guessedRight;
        f.errors = lab.guesses - lab.guessedRight;
        // Out of the run's changes; a record from before they were kept, out of the guesses.
        const int outOf = lab.changes > 0 ? lab.changes : lab.guesses;
        f.percent = outOf > 0 ? double(lab.guessedRight) / outOf * 100.0 : 0.0;
        f.grade = gradeFor(f.percent);
        // Right guesses outside 0..guesses, or more guesses than changes, are no run at all.
        if (lab.guessedRight < 0 || lab.guessedRight > lab.guesses || (lab.changes > 0 && lab.guesses > lab.changes))
            f.matches = -1;
        return f;
    }
    int right = 0;
    for (const ResultRecord::Step &step : record.steps) {
        if (record.mode == ResultMode::Test1 && step.answer == step.question)
            ++f.matches; // the question's own answer was shown
        if (!step.counted)
            continue;
        if (step.right)
            ++right;
        else
            ++f.errors;
    }
    if (record.mode != ResultMode::Test1)
        f.matches = right;
    // Training and the matching test score nothing without a single match.
    const bool scored = record.mode == ResultMode::Test1 || f.matches > 0;
    f.percent = scored ? double(float(double(right) / kSteps * 100.0)) : 0.0;
    f.grade = gradeFor(f.percent);
    return f;
}

QString RecordCheck::gradeFor(double percent)
{
    if (percent >= 100)
        return QStringLiteral("5");
    if (percent >= 80)
        return QStringLiteral("4");
    if (percent >= 50)
        return QStringLiteral("3");
    if (percent >= 30)
        return QStringLiteral("2");
    return QStringLiteral("1");
}

QString RecordCheck::disagreement(const ResultRecord &record)
{
    // An attempt's opening has nothing of its course yet.
    if (record.opening)
        return record.steps.isEmpty() && record.matches == 0 && record.errors == 0 && record.percent == 0
                && record.grade.isEmpty()
            ? QString()
            : FiguresDisagree;
    const Figures f = fromSteps(record);
    if (record.matches != f.matches || record.errors != f.errors)
        return FiguresDisagree;
    // A run cut short by its time limit, or left unfinished, has no percentage or grade of its own.
    if (record.timedOut || record.unfinished)
        return QString();
    if (std::abs(record.percent - f.percent) > 0.01 || record.grade != f.grade)
        return FiguresDisagree;
    return QString();
}
