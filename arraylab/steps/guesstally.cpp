#include "guesstally.h"

int GuessTally::nextAsked(const StepTrace &trace, int from)
{
    int step = from + 1;
    while (step <= trace.size() && !StepTrace::changes(trace.at(step)))
        ++step;
    return step;
}

bool GuessTally::changedBy(const StepTrace::Step &step, LabObserver::Cell cell)
{
    const auto same = [cell](LabObserver::Cell c) { return c.row == cell.row && c.column == cell.column; };
    return same(step.a) || (step.kind == StepTrace::Kind::Swap && same(step.b));
}

GuessTally::Choice GuessTally::choose(const StepTrace::Step &step, LabObserver::Cell cell)
{
    if (!changedBy(step, cell)) {
        if (!m_missed)
            ++m_guesses; // counted once, at the first choice
        m_missed = true;
        return Choice::Wrong;
    }
    if (!m_missed) {
        ++m_guesses;
        ++m_right;
    }
    m_missed = false;
    return Choice::Right;
}
