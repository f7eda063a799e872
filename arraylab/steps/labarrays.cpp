#include "labarrays.h"

#include "core/convert.h"
#include "core/randomsource.h"

#include <algorithm>
#include <limits>

void LabArrays::setSizes(qint16 columns, qint16 rows)
{
    m_m = columns;
    m_n = rows;
}

void LabArrays::setElement(int e, qint16 value)
{
    if (inBounds(e))
        m_linear[e] = value;
}

void LabArrays::setCell(int row, int column, qint16 value)
{
    if (inBounds(row) && inBounds(column))
        m_table[row][column] = value;
}

qint16 LabArrays::randomElement(RandomSource &random)
{
    return qint16(Convert::wholePart(random.draw() * 900.0 + 100.0));
}

qint16 LabArrays::shrink(qint16 size)
{
    return size == std::numeric_limits<qint16>::min() ? size : qint16(size - 1);
}

void LabArrays::fillLinear(RandomSource &random)
{
    qint16 i = 0;
    const qint16 last = m_m;
    for (i = 1; i <= last; ++i)
        m_linear[i] = randomElement(random);
}

void LabArrays::fillTable(RandomSource &random)
{
    qint16 i = 0;
    qint16 j = 0;
    const qint16 rows = m_n;
    const qint16 columns = m_m;
    for (i = 1; i <= rows; ++i)
        for (j = 1; j <= columns; ++j)
            m_table[i][j] = randomElement(random);
}

namespace {

using Cell = LabObserver::Cell;
using Line = LabObserver::Line;

Cell cellOf(int row, int column)
{
    return {qint16(row), qint16(column)};
}

Cell linearPlace(int e, int /*columns*/)
{
    return cellOf(1, e);
}

Cell readingPlace(int e, int columns)
{
    return cellOf((e - 1) / columns + 1, (e - 1) % columns + 1);
}

} // namespace

void LabArrays::deleteElement(qint16 position, LabObserver *observer)
{
    qint16 i = 0;
    qint16 k = 0;
    k = position;
    const int last = m_m - 1;
    for (i = 1; i <= last; ++i) {
        if (observer)
            observer->other(Line::PositionTest, cellOf(1, i), i >= k);
        if (i >= k) {
            m_linear[i] = m_linear[i + 1];
            if (observer)
                observer->shift(cellOf(1, i), cellOf(1, i + 1));
        }
    }
    m_m = shrink(m_m);
    if (observer)
        observer->resize(LabObserver::Size::Columns, m_m);
}

void LabArrays::deleteColumn(qint16 position, LabObserver *observer)
{
    deleteLine(true, position, observer);
}

void LabArrays::deleteRow(qint16 position, LabObserver *observer)
{
    deleteLine(false, position, observer);
}

void LabArrays::deleteLine(bool column, qint16 position, LabObserver *observer)
{
    qint16 i = 0;
    qint16 j = 0;
    qint16 k = 0;
    // Each cell from the line on takes the value of its neighbour to the right (below).
    k = position;
    const int lastRow = column ? m_n : m_n - 1;
    const int lastColumn = column ? m_m - 1 : m_m;
    for (i = 1; i <= lastRow; ++i) {
        for (j = 1; j <= lastColumn; ++j) {
            if (observer)
                observer->other(Line::PositionTest, cellOf(i, j), (column ? j : i) >= k);
            if ((column ? j : i) >= k) {
                const Cell from = column ? cellOf(i, j + 1) : cellOf(i + 1, j);
                m_table[i][j] = m_table[from.row][from.column];
                if (observer)
                    observer->shift(cellOf(i, j), from);
            }
        }
    }
    qint16 &size = column ? m_m : m_n;
    size = shrink(size);
    if (observer)
        observer->resize(column ? LabObserver::Size::Columns : LabObserver::Size::Rows, size);
}

qint16 LabArrays::insertPlace(qint16 position)
{
    return std::max<qint16>(position, 1);
}

void LabArrays::insertColumn(qint16 position, LabObserver *observer)
{
    if (canInsertColumn())
        insertLine(true, position, observer);
}

void LabArrays::insertRow(qint16 position, LabObserver *observer)
{
    if (canInsertRow())
        insertLine(false, position, observer);
}

void LabArrays::insertLine(bool column, qint16 position, LabObserver *observer)
{
    qint16 i = 0;
    qint16 j = 0;
    qint16 k = 0;
    // In every row (column), the cells from k on move one place on, from the
    // far end back, and cell k takes the inserted value.
    k = insertPlace(position);
    if (observer)
        observer->other(Line::PositionFirst, cellOf(0, 0), position < 1);
    qint16 &along = column ? j : i;
    qint16 &across = column ? i : j;
    qint16 &size = column ? m_m : m_n;
    const qint16 lines = column ? m_n : m_m;
    for (across = 1; across <= lines; ++across) {
        for (along = qint16(size + 1); along >= k + 1; --along) {
            const Cell from = column ? cellOf(i, j - 1) : cellOf(i - 1, j);
            m_table[i][j] = m_table[from.row][from.column];
            if (observer)
                observer->shift(cellOf(i, j), from);
        }
        along = k;
        m_table[i][j] = Inserted;
        if (observer)
            observer->fill(cellOf(i, j), Inserted);
    }
    size = qint16(size + 1);
    if (observer)
        observer->resize(column ? LabObserver::Size::Columns : LabObserver::Size::Rows, size);
}

bool LabArrays::beats(qint16 value, Extreme kind) const
{
    return kind == Extreme::Minimum ? value < m_extreme : value > m_extreme;
}

void LabArrays::findExtremeLinear(Extreme kind, LabObserver *observer)
{
    qint16 i = 0;
    m_extreme = m_linear[1];
    if (observer && m_m >= 1)
        observer->extreme(Line::ExtremeStart, cellOf(1, 1), true);
    for (i = 1; i <= m_m; ++i) {
        const bool better = beats(m_linear[i], kind);
        if (observer)
            observer->extreme(Line::ExtremeTest, cellOf(1, i), better);
        if (better) {
            m_extreme = m_linear[i];
            if (observer)
                observer->extreme(Line::ExtremeNew, cellOf(1, i), true);
        }
    }
    m_count = 0;
    if (observer)
        observer->other(Line::CountReset, cellOf(1, std::max<int>(m_m, 0)), true);
    for (i = 1; i <= m_m; ++i) {
        const bool equal = m_linear[i] == m_extreme;
        if (observer)
            observer->extreme(Line::CountTest, cellOf(1, i), equal);
        if (equal) {
            ++m_count;
            if (observer)
                observer->other(Line::CountUp, cellOf(1, i), true);
        }
    }
}

void LabArrays::findExtremeTable(Extreme kind, LabObserver *observer)
{
    qint16 i = 0;
    qint16 j = 0;
    m_extreme = m_table[1][1];
    if (observer && m_n >= 1 && m_m >= 1)
        observer->extreme(Line::ExtremeStart, cellOf(1, 1), true);
    for (i = 1; i <= m_n; ++i) {
        for (j = 1; j <= m_m; ++j) {
            const bool better = beats(m_table[i][j], kind);
            if (observer)
                observer->extreme(Line::ExtremeTest, cellOf(i, j), better);
            if (better) {
                m_extreme = m_table[i][j];
                if (observer)
                    observer->extreme(Line::ExtremeNew, cellOf(i, j), true);
            }
        }
    }
    m_count = 0;
    if (observer)
        observer->other(Line::CountReset, cellOf(std::max<int>(m_n, 0), std::max<int>(m_m, 0)), true);
    for (i = 1; i <= m_n; ++i) {
        for (j = 1; j <= m_m; ++j) {
            const bool equal = m_table[i][j] == m_extreme;
            if (observer)
                observer->extreme(Line::CountTest, cellOf(i, j), equal);
            if (equal) {
                ++m_count;
                if (observer)
                    observer->other(Line::CountUp, cellOf(i, j), true);
            }
        }
    }
}

template <class Elements>
void LabArrays::exchangeSort(Elements &a, int length, LabObserver *observer, Place place, int columns)
{
    qint16 temp = 0;
    // Exactly (length - 1)^2 comparisons, counted in int as the length is.
    for (int j = 1; j <= length - 1; ++j) {
        for (int i = 1; i <= length - 1; ++i) {
            const bool greater = a[i] > a[i + 1];
            if (observer)
                observer->compare(place(i, columns), place(i + 1, columns), greater);
            if (greater) {
                temp = a[i];
                a[i] = a[i + 1];
                a[i + 1] = temp;
                if (observer)
                    observer->swap(place(i, columns), place(i + 1, columns));
            }
        }
    }
}

void LabArrays::sortLinear(LabObserver *observer)
{
    // Counted in int: a length of -32768 has no predecessor in 16 bits.
    exchangeSort(m_linear, m_m, observer, linearPlace, 1);
}

void LabArrays::sortTable(LabObserver *observer)
{
    qint16 i = 0;
    qint16 j = 0;
    qint16 k = 0;
    std::array<qint16, Bound * Bound + 1> buffer{};
    // Each copy is the value, then k one on: b[k + 1] := a[i, j]; k := k + 1.
    const auto copyAll = [&](Line start, Line copy, Line next, bool back) {
        k = 0;
        if (observer)
            observer->other(start, cellOf(0, 0), true);
        for (i = 1; i <= m_n; ++i) {
            for (j = 1; j <= m_m; ++j) {
                if (back)
                    m_table[i][j] = buffer[k + 1];
                else
                    buffer[k + 1] = m_table[i][j];
                if (observer)
                    observer->copy(copy, cellOf(i, j));
                ++k;
                if (observer)
                    observer->other(next, cellOf(i, j), true);
            }
        }
    };
    copyAll(Line::CopyInStart, Line::CopyIn, Line::CopyInNext, false);
    // The buffer holds the table read row by row: its steps are the table's cells.
    exchangeSort(buffer, k, observer, readingPlace, std::max<int>(m_m, 1));
    copyAll(Line::CopyOutStart, Line::CopyOut, Line::CopyOutNext, true);
}
