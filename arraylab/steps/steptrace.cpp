#include "steptrace.h"

#include <algorithm>

namespace {

int bounded(int size)
{
    return std::clamp(size, 0, int(LabArrays::Bound));
}

} // namespace

StepTrace::StepTrace(const LabArrays &before, bool table)
    : m_table(table)
{
    m_current.rows = table ? before.n() : qint16(1);
    m_current.columns = before.m();
    if (table) {
        m_current.cells = before.table();
    } else {
        m_current.cells[1] = before.linear();
    }
    const int length = table ? bounded(before.m()) * bounded(before.n()) : bounded(before.m());
    m_passLength = std::max(length - 1, 1);
    m_gridRows = bounded(m_current.rows);
    m_gridColumns = bounded(m_current.columns);
    m_checkpoints.push_back(m_current);
}

bool StepTrace::changes(const Step &step)
{
    // The copies of the table's sort into b and back change nothing seen.
    return step.kind == Kind::Swap || step.line == Line::Shift || step.line == Line::Fill
        || step.line == Line::ExtremeNew;
}

LabObserver::Cell StepTrace::clamp(Cell c)
{
    // Storage has Bound + 1 places a side; an operation never leaves it, and
    // a replay must not either.
    c.row = qint16(std::clamp<int>(c.row, 0, LabArrays::Bound));
    c.column = qint16(std::clamp<int>(c.column, 0, LabArrays::Bound));
    return c;
}

void StepTrace::add(const Step &step)
{
    m_steps.push_back(step);
    apply(m_current, step);
    if (step.kind != Kind::Resize) {
        m_gridRows = std::max<int>(m_gridRows, step.a.row);
        m_gridColumns = std::max<int>(m_gridColumns, step.a.column);
    }
    if (m_steps.size() % CheckpointEvery == 0)
        m_checkpoints.push_back(m_current);
}

void StepTrace::apply(State &s, const Step &step)
{
    qint16 &to = s.cells[step.a.row][step.a.column];
    switch (step.kind) {
    case Kind::Compare:
        ++s.comparisons;
        break;
    case Kind::Swap:
        s.temp = to;
        std::swap(to, s.cells[step.b.row][step.b.column]);
        ++s.swaps;
        break;
    case Kind::Assign:
        ++s.assignments;
        if (step.line == Line::Shift)
            to = s.cells[step.b.row][step.b.column];
        else if (step.line == Line::Fill)
            to = step.b.row;
        else if (step.line == Line::ExtremeStart || step.line == Line::ExtremeNew)
            s.extreme = to; // a search assigns to its extreme, not to the array
        // A copy into b or back leaves the cells as they are: b is the table read row by row.
        break;
    case Kind::Resize:
        (step.size == 0 ? s.rows : s.columns) = step.b.row;
        break;
    case Kind::Other:
        if (step.line == Line::CountReset)
            s.count = 0;
        else if (step.line == Line::CountUp)
            ++s.count;
        break;
    }
}

StepTrace::State StepTrace::state(int steps) const
{
    steps = std::clamp(steps, 0, size());
    const size_t checkpoint = size_t(steps / CheckpointEvery);
    State s = m_checkpoints[checkpoint];
    for (int k = int(checkpoint) * CheckpointEvery; k < steps; ++k)
        apply(s, m_steps[size_t(k)]);
    return s;
}

void StepTrace::compare(Cell a, Cell b, bool greater)
{
    if (m_compares++ % m_passLength == 0)
        m_passStarts.append(size() + 1);
    add({Kind::Compare, Line::Compare, greater, 0, clamp(a), clamp(b)});
}

void StepTrace::swap(Cell a, Cell b)
{
    add({Kind::Swap, Line::Swap, false, 0, clamp(a), clamp(b)});
}

void StepTrace::shift(Cell to, Cell from)
{
    add({Kind::Assign, Line::Shift, false, 0, clamp(to), clamp(from)});
}

void StepTrace::fill(Cell to, qint16 value)
{
    add({Kind::Assign, Line::Fill, false, 0, clamp(to), {value, 0}});
}

void StepTrace::resize(Size size, qint16 value)
{
    const bool rows = size == Size::Rows;
    add({Kind::Resize, Line::Resize, false, quint8(rows ? 0 : 1), {}, {value, 0}});
    (rows ? m_gridRows : m_gridColumns) = std::max(rows ? m_gridRows : m_gridColumns, bounded(value));
}

void StepTrace::other(Line line, Cell at, bool outcome)
{
    add({Kind::Other, line, outcome, 0, clamp(at), {}});
}

void StepTrace::copy(Line line, Cell at)
{
    add({Kind::Assign, line, false, 0, clamp(at), {}});
}

void StepTrace::extreme(Line line, Cell at, bool outcome)
{
    const Kind kind = line == Line::ExtremeTest || line == Line::CountTest ? Kind::Compare : Kind::Assign;
    add({kind, line, outcome, 0, clamp(at), {}});
}
