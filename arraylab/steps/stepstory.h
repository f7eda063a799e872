#pragma once

#include "labcode.h"
#include "steptrace.h"

#include <QString>

// What a step did, in a sentence a pupil reads and a screen reader says.
class StepStory
{
public:
    StepStory(const StepTrace &trace, LabCode::Operation operation);

    // The sentence for the given step (0: the array before the operation).
    QString sentence(int step) const;
    // How a cell is called in the code: a[3], a[2, 5], or b[7] in the table's sort.
    QString cellName(LabObserver::Cell cell) const;

private:
    QString compared(const StepTrace::Step &s, const StepTrace::State &before) const;
    QString assigned(const StepTrace::Step &s, const StepTrace::State &before, const StepTrace::State &after) const;
    QString named(LabObserver::Cell cell, const StepTrace::State &state) const;

    const StepTrace &m_trace;
    LabCode::Operation m_operation;
    QString m_extreme; // min or max in a search
    int m_bufferColumns = 1;
};
