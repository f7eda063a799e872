#pragma once

#include <QtGlobal>

// Hears the statements of an array operation as it runs: the step window's
// story comes from the very code the buttons run. Cells are counted from 1,
// as the pupils count; the linear array is row 1.
class LabObserver
{
public:
    struct Cell
    {
        qint16 row = 1;
        qint16 column = 1;
    };

    // The statement of the algorithm a step carries out; each one has a
    // line of its own in the listing.
    enum class Line : quint8 {
        Compare,       // two neighbours compared (the sorts)
        Swap,          // and exchanged
        Shift,         // a cell takes its neighbour's value
        Fill,          // a cell of the new line takes 100
        Resize,        // m or n by one
        ExtremeStart,  // the extreme takes the first element
        ExtremeTest,   // an element against the extreme so far
        ExtremeNew,    // a new extreme
        CountTest,     // an element against the extreme, counting
        PositionTest,  // a delete's "i >= k": from the position on
        PositionFirst, // an insert's "k < 1": a position before the first is the first
        CountReset,    // count := 0
        CountUp,       // count := count + 1
        CopyInStart,   // the table's sort: k := 0 before the copy into b
        CopyIn,        // b[k + 1] := a[i, j]
        CopyInNext,    // k := k + 1
        CopyOutStart,  // k := 0 before the copy back
        CopyOut,       // a[i, j] := b[k + 1]
        CopyOutNext,   // k := k + 1
    };
    static constexpr int LineCount = int(Line::CopyOutNext) + 1;
    enum class Size : quint8 { Rows, Columns };

    virtual ~LabObserver() = default;
    virtual void compare(Cell a, Cell b, bool greater) = 0;
    virtual void swap(Cell a, Cell b) = 0;
    // The cell takes the neighbour's value (a shift) or value (a fill).
    virtual void shift(Cell to, Cell from) = 0;
    virtual void fill(Cell to, qint16 value) = 0;
    virtual void resize(Size size, qint16 value) = 0;
    // Searches: the element against the value it is compared with.
    virtual void extreme(Line line, Cell at, bool outcome) = 0;
    // A statement on positions and counters, not on values: a test of a
    // position, count or k set; at is the cell the loop stands at.
    virtual void other(Line line, Cell at, bool outcome) = 0;
    // The table's sort: a[at] copied into the row b, or back.
    virtual void copy(Line line, Cell at) = 0;
};
