#pragma once

#include "labcode.h"
#include "steptrace.h"

#include <QString>

// What a step did, in a sentence a pupil reads and a screen reader says. The
// cells are named as the code shown names them: from 1, or from 0 in Python.
class StepStory
{
public:
    // position: the place the pupil typed (k), where the operation takes one.
    StepStory(const StepTrace &trace, LabCode::Operation operation, qint16 position);

    void setBase(int base) { m_base = base; }
    // The sentence for the given step (0: the array before the operation).
    QString sentence(int step) const;
    // How a cell is called in the code: a[3], a[2, 5], or b[7] in the table's sort.
    QString cellName(LabObserver::Cell cell) const;
    // The element of the row b a cell of the table is, from 1.
    int bufferIndex(LabObserver::Cell cell) const { return (cell.row - 1) * m_bufferColumns + cell.column; }
    // The loop variable i at a cell in the code's own numbering.
    int index(int fromOne) const { return fromOne - 1 + m_base; }

private:
    QString told(int step) const;
    QString compared(const StepTrace::Step &s, const StepTrace::State &before) const;
    QString assigned(const StepTrace::Step &s, const StepTrace::State &before, const StepTrace::State &after) const;
    QString other(const StepTrace::Step &s, const StepTrace::State &before, const StepTrace::State &after) const;
    QString named(LabObserver::Cell cell, const StepTrace::State &state) const;

    const StepTrace &m_trace;
    LabCode::Operation m_operation;
    qint16 m_position;
    QString m_extreme; // mn or mx in a search
    int m_bufferColumns = 1;
    int m_base = 1;
};
