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

void LabArrays::deleteElement(qint16 position)
{
    qint16 i = 0;
    qint16 k = 0;
    k = position;
    const int last = m_m - 1;
    for (i = 1; i <= last; ++i) {
        if (i >= k)
            m_linear[i] = m_linear[i + 1];
    }
    m_m = shrink(m_m);
}

void LabArrays::deleteColumn(qint16 position)
{
    deleteLine(true, position);
}

void LabArrays::deleteRow(qint16 position)
{
    deleteLine(false, position);
}

void LabArrays::deleteLine(bool column, qint16 position)
{
    qint16 i = 0;
    qint16 j = 0;
    qint16 k = 0;
    // Each cell from the line on takes the value of its neighbour to the right (below).
    k = position;
    const int lastRow = column ? m_n : m_n - 1;
    const int lastColumn = column ? m_m - 1 : m_m;
    for (i = 1; i <= lastRow; ++i)
        for (j = 1; j <= lastColumn; ++j)
            if ((column ? j : i) >= k)
                m_table[i][j] = column ? m_table[i][j + 1] : m_table[i + 1][j];
    qint16 &size = column ? m_m : m_n;
    size = shrink(size);
}

qint16 LabArrays::insertPlace(qint16 position)
{
    return std::max<qint16>(position, 1);
}

void LabArrays::insertColumn(qint16 position)
{
    if (canInsertColumn())
        insertLine(true, position);
}

void LabArrays::insertRow(qint16 position)
{
    if (canInsertRow())
        insertLine(false, position);
}

void LabArrays::insertLine(bool column, qint16 position)
{
    qint16 i = 0;
    qint16 j = 0;
    qint16 k = 0;
    // In every row (column), the cells from k on move one place on, from the
    // far end back, and cell k takes the inserted value.
    k = insertPlace(position);
    qint16 &along = column ? j : i;
    qint16 &across = column ? i : j;
    qint16 &size = column ? m_m : m_n;
    const qint16 lines = column ? m_n : m_m;
    for (across = 1; across <= lines; ++across) {
        for (along = qint16(size + 1); along >= k + 1; --along)
            m_table[i][j] = column ? m_table[i][j - 1] : m_table[i - 1][j];
        along = k;
        m_table[i][j] = Inserted;
    }
    size = qint16(size + 1);
}

bool LabArrays::beats(qint16 value, Extreme kind) const
{
    return kind == Extreme::Minimum ? value < m_extreme : value > m_extreme;
}

void LabArrays::findExtremeLinear(Extreme kind)
{
    qint16 i = 0;
    m_extreme = m_linear[1];
    for (i = 1; i <= m_m; ++i)
        if (beats(m_linear[i], kind))
            m_extreme = m_linear[i];
    m_count = 0;
    for (i = 1; i <= m_m; ++i)
        if (m_linear[i] == m_extreme)
            ++m_count;
}

void LabArrays::findExtremeTable(Extreme kind)
{
    qint16 i = 0;
    qint16 j = 0;
    m_extreme = m_table[1][1];
    for (i = 1; i <= m_n; ++i)
        for (j = 1; j <= m_m; ++j)
            if (beats(m_table[i][j], kind))
                m_extreme = m_table[i][j];
    m_count = 0;
    for (i = 1; i <= m_n; ++i)
        for (j = 1; j <= m_m; ++j)
            if (m_table[i][j] == m_extreme)
                ++m_count;
}

template <class Elements>
void LabArrays::exchangeSort(Elements &a, int length)
{
    qint16 temp = 0;
    // Exactly (length - 1)^2 comparisons, counted in int as the length is.
    for (int j = 1; j <= length - 1; ++j) {
        for (int i = 1; i <= length - 1; ++i) {
            if (a[i] > a[i + 1]) {
                temp = a[i];
                a[i] = a[i + 1];
                a[i + 1] = temp;
            }
        }
    }
}

void LabArrays::sortLinear()
{
    // Counted in int: a length of -32768 has no predecessor in 16 bits.
    exchangeSort(m_linear, m_m);
}

void LabArrays::sortTable()
{
    qint16 i = 0;
    qint16 j = 0;
    qint16 k = 0;
    std::array<qint16, Bound * Bound + 1> buffer{};
    k = 0;
    for (i = 1; i <= m_n; ++i)
        for (j = 1; j <= m_m; ++j)
            buffer[++k] = m_table[i][j];
    exchangeSort(buffer, k);
    k = 0;
    for (i = 1; i <= m_n; ++i)
        for (j = 1; j <= m_m; ++j)
            m_table[i][j] = buffer[++k];
}
