#pragma once

#include <QtGlobal>

// Hears the elementary actions of an array operation as it runs: the step
// window's story comes from the very code the buttons run. Cells are counted
// from 1, as the pupils count; the linear array is row 1.
class LabObserver
{
public:
    struct Cell
    {
        qint16 row = 1;
        qint16 column = 1;
    };

    // The line of the algorithm an action carries out.
    enum class Line : quint8 {
        Compare,      // two neighbours compared (the sorts)
        Swap,         // and exchanged through temp
        Shift,        // a cell takes its neighbour's value
        Fill,         // a cell of the new line takes 100
        Resize,       // m or n by one
        ExtremeStart, // extreme takes the first element
        ExtremeTest,  // an element against the extreme so far
        ExtremeNew,   // a new extreme
        CountTest,    // an element against the extreme, counting
    };
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
};
