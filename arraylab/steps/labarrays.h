#pragma once

#include "labobserver.h"

#include <QtGlobal>

#include <array>

class RandomSource;

// The two arrays of a lab and the rules that work on them, without a window.
// Subscripts start at 1, as the pupils count; element 0 is never used. Sizes
// may be 0 or negative (every loop then does nothing) and never exceed Bound.
// The window prints what these operations leave behind; an observer, when
// one is given, hears every elementary action as it happens.
class LabArrays
{
public:
    static constexpr int Bound = 40;
    static constexpr qint16 Inserted = 100; // every cell of an inserted column or row

    enum class Extreme { Minimum, Maximum };

    void setSizes(qint16 columns, qint16 rows);
    void fillLinear(RandomSource &random);
    void fillTable(RandomSource &random);
    // One random element as the fills draw it, from 100 to 999.
    static qint16 randomElement(RandomSource &random);

    // Each element from position on takes its right neighbour's value; one element less.
    void deleteElement(qint16 position, LabObserver *observer = nullptr);
    void deleteColumn(qint16 position, LabObserver *observer = nullptr);
    void deleteRow(qint16 position, LabObserver *observer = nullptr);

    // The table has room for Bound columns and Bound rows, no more.
    bool canInsertColumn() const { return m_m < Bound; }
    bool canInsertRow() const { return m_n < Bound; }
    // A position before the first puts the new column (row) first.
    static qint16 insertPlace(qint16 position);
    void insertColumn(qint16 position, LabObserver *observer = nullptr);
    void insertRow(qint16 position, LabObserver *observer = nullptr);

    // Sets extreme to the minimum or maximum of the linear array (the table)
    // and count to how many elements equal it.
    void findExtremeLinear(Extreme kind, LabObserver *observer = nullptr);
    void findExtremeTable(Extreme kind, LabObserver *observer = nullptr);

    // Exchange sorts: every pass covers all adjacent pairs and there is no
    // early stop. The table is sorted as one row read row by row.
    void sortLinear(LabObserver *observer = nullptr);
    void sortTable(LabObserver *observer = nullptr);

    // Puts one value in place; a subscript outside 1..Bound changes nothing.
    void setElement(int e, qint16 value);
    void setCell(int row, int column, qint16 value);

    using Linear = std::array<qint16, Bound + 1>;
    using Table = std::array<Linear, Bound + 1>;

    qint16 m() const { return m_m; } // columns of the table and length of the linear array
    qint16 n() const { return m_n; } // rows of the table
    qint16 extreme() const { return m_extreme; }
    qint16 count() const { return m_count; }
    const Linear &linear() const { return m_linear; }
    const Table &table() const { return m_table; }

private:
    static bool inBounds(int subscript) { return subscript >= 1 && subscript <= Bound; }
    // One less, but never below the smallest 16-bit value.
    static qint16 shrink(qint16 size);
    void deleteLine(bool column, qint16 position, LabObserver *observer);
    void insertLine(bool column, qint16 position, LabObserver *observer);
    bool beats(qint16 value, Extreme kind) const;
    // Where element e of a sequence stands: the linear array's cell e, or
    // the table's cell read row by row with columns to a row.
    using Place = LabObserver::Cell (*)(int e, int columns);
    template <class Elements>
    static void exchangeSort(Elements &a, int length, LabObserver *observer, Place place, int columns);

    qint16 m_m = 0;
    qint16 m_n = 0;
    qint16 m_extreme = 0;
    qint16 m_count = 0;
    Linear m_linear{};
    Table m_table{};
};
