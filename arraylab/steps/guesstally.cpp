#include "guesstally.h"

GuessTally::Choice GuessTally::choose(const StepCursor &cursor, int change, LabObserver::Cell cell)
{
    if (!cursor.changedBy(change, cell)) {
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
