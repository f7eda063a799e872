#pragma once

#include "labarrays.h"
#include "labobserver.h"

#include <QVector>

#include <vector>

// A whole run of one operation, step by step: the array before, every
// statement it carried out in twelve bytes, and a copy of the array every
// CheckpointEvery steps, so that any step is rebuilt by replaying at most
// that many actions from the nearest copy.
class StepTrace : public LabObserver
{
public:
    // What a step is counted as: a comparison of values, an exchange, a value
    // written into an element or the extreme, a size changed, or none of
    // these (a test of a position, a counter set).
    enum class Kind : quint8 { Compare, Swap, Assign, Resize, Other };
    static constexpr int CheckpointEvery = 4096;

    struct Step
    {
        Kind kind;
        Line line;
        bool outcome; // a comparison's answer
        quint8 size;  // a resize: 0 rows, 1 columns
        Cell a;       // the cell changed or the first compared
        Cell b;       // the second cell, the source of a shift; a fill's value in b.row
    };

    // Where the array stands after some step: all of storage, its sizes, a
    // search's extreme and count so far, and what the last exchange put in temp.
    struct State
    {
        LabArrays::Table cells{};
        qint16 rows = 0;
        qint16 columns = 0;
        qint16 extreme = 0;
        qint16 count = 0;
        qint16 temp = 0;
        int comparisons = 0;
        int swaps = 0;
        int assignments = 0;
    };

    // The linear array lives in row 1 of the cells.
    StepTrace(const LabArrays &before, bool table);

    bool table() const { return m_table; }
    int size() const { return int(m_steps.size()); }
    const Step &at(int step) const { return m_steps[size_t(step - 1)]; }
    // The state after the given number of steps (0: the array before).
    State state(int steps) const;
    // The largest sizes the run reached: what a view of it must show.
    int gridRows() const { return m_gridRows; }
    int gridColumns() const { return m_gridColumns; }
    // The first step of each pass of a sort (empty for everything else).
    const QVector<int> &passStarts() const { return m_passStarts; }
    // Steps that change a cell of the array or find a new extreme: the ones a pupil guesses.
    static bool changes(const Step &step);

    void compare(Cell a, Cell b, bool greater) override;
    void swap(Cell a, Cell b) override;
    void shift(Cell to, Cell from) override;
    void fill(Cell to, qint16 value) override;
    void resize(Size size, qint16 value) override;
    void extreme(Line line, Cell at, bool outcome) override;
    void other(Line line, Cell at, bool outcome) override;
    void copy(Line line, Cell at) override;

private:
    void add(const Step &step);
    static void apply(State &s, const Step &step);
    static Cell clamp(Cell c);

    bool m_table;
    int m_passLength = 0; // comparisons in one pass of a sort
    int m_compares = 0;
    int m_gridRows = 0;
    int m_gridColumns = 0;
    State m_current;
    std::vector<Step> m_steps;
    std::vector<State> m_checkpoints; // after 0, CheckpointEvery, 2 * CheckpointEvery ... steps
    QVector<int> m_passStarts;
};
