#include "stepmodel.h"

#include <QBrush>
#include <QColor>

#include <algorithm>

const QColor StepModel::OutsideBack = QColor(0xd8, 0xd8, 0xd8);
const QColor StepModel::OutsideText = QColor(0x48, 0x48, 0x48);
const QColor StepModel::MissBack = QColor(0x60, 0x60, 0x60);

void StepModel::reset(int rows, int columns, bool table)
{
    beginResetModel();
    m_rows = rows;
    m_columns = columns;
    m_table = table;
    m_values.fill(0, qsizetype(rows) * columns);
    m_marks.fill(Mark::None, qsizetype(rows) * columns);
    endResetModel();
}

void StepModel::setBase(int base)
{
    m_base = base;
    if (m_rows > 0)
        emit headerDataChanged(Qt::Vertical, 0, m_rows - 1);
    if (m_columns > 0)
        emit headerDataChanged(Qt::Horizontal, 0, m_columns - 1);
}

void StepModel::show(const StepTrace::State &state)
{
    m_usedRows = m_table ? std::max<int>(state.rows, 0) : 1;
    m_usedColumns = std::max<int>(state.columns, 0);
    // The linear array is row 1 of the state's cells.
    for (int r = 0; r < m_rows; ++r)
        for (int c = 0; c < m_columns; ++c)
            m_values[r * m_columns + c] = state.cells[r + 1][c + 1];
    if (m_rows > 0 && m_columns > 0)
        emit dataChanged(index(0, 0), index(m_rows - 1, m_columns - 1));
}

int StepModel::place(LabObserver::Cell cell) const
{
    const int row = m_table ? cell.row - 1 : 0;
    const int column = cell.column - 1;
    if (row < 0 || row >= m_rows || column < 0 || column >= m_columns)
        return -1;
    return row * m_columns + column;
}

void StepModel::setMark(LabObserver::Cell cell, Mark mark)
{
    const int at = place(cell);
    if (at < 0)
        return;
    m_marks[at] = mark;
    const QModelIndex i = index(at / m_columns, at % m_columns);
    emit dataChanged(i, i);
}

void StepModel::mark(const QVector<StepCursor::Touch> &touched)
{
    for (const StepCursor::Touch &t : touched)
        setMark(t.cell, t.role == StepCursor::Role::Changed ? Mark::Change : Mark::Compare);
}

void StepModel::miss(LabObserver::Cell cell)
{
    setMark(cell, Mark::Miss);
}

void StepModel::clearMarks()
{
    std::fill(m_marks.begin(), m_marks.end(), Mark::None);
}

int StepModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int StepModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_columns;
}

Qt::ItemFlags StepModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

QVariant StepModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role == Qt::DisplayRole)
        return section + m_base;
    return QAbstractTableModel::headerData(section, orientation, role);
}

QVariant StepModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return QVariant();
    const int at = index.row() * m_columns + index.column();
    const Mark mark = m_marks[at];
    const bool used = inUse(index.row(), index.column());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return QString::number(m_values[at]);
    case Qt::AccessibleDescriptionRole:
        return mark == Mark::Change ? QStringLiteral("изменено")
            : mark == Mark::Compare ? QStringLiteral("сравнивается")
            : mark == Mark::Miss    ? QStringLiteral("не эта ячейка")
            : used                  ? QString()
                                    : QStringLiteral("за границей массива");
    case Qt::BackgroundRole:
        if (mark == Mark::Change)
            return QBrush(QColor(0xff, 0, 0)); // the labs' mark colour
        if (mark == Mark::Compare)
            return QBrush(QColor(0xff, 0xd7, 0));
        if (mark == Mark::Miss)
            return QBrush(MissBack);
        return used ? QVariant() : QBrush(OutsideBack);
    case Qt::ForegroundRole:
        if (mark == Mark::Change || mark == Mark::Miss)
            return QBrush(Qt::white);
        return used || mark == Mark::Compare ? QBrush(Qt::black) : QBrush(OutsideText);
    case Qt::TextAlignmentRole:
        return int(Qt::AlignCenter);
    default:
        return QVariant();
    }
}
