#pragma once

#include "steps/stepcursor.h"

#include <QAbstractTableModel>
#include <QVector>

// The cells of a run as an item view shows them: each cell's value, marked as
// the current step touched it (changed, compared, or read as a source), or
// where a guess missed it; cells beyond the array's sizes as they are now are
// drawn on grey. Headers count as the code shown counts: from 1, or from 0.
class StepModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum class Mark : quint8 { None, Change, Compare, Miss };

    using QAbstractTableModel::QAbstractTableModel;

    // A new run's grid; nothing marked.
    void reset(int rows, int columns, bool table);
    void setBase(int base);
    void show(const StepTrace::State &state);
    void mark(const QVector<StepCursor::Touch> &touched);
    void miss(LabObserver::Cell cell);
    void clearMarks();
    bool marked(int row, int column) const { return m_marks[row * m_columns + column] != Mark::None; }

    int value(int row, int column) const { return m_values[row * m_columns + column]; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // The grey behind a cell beyond the sizes, and its number's colour: dark
    // enough to read on a weak projector (contrast above 4.5 : 1).
    static const QColor OutsideBack;
    static const QColor OutsideText;
    static const QColor MissBack; // a guess that missed

private:
    int place(LabObserver::Cell cell) const;
    void setMark(LabObserver::Cell cell, Mark mark);
    bool inUse(int row, int column) const { return row < m_usedRows && column < m_usedColumns; }

    int m_rows = 0;
    int m_columns = 0;
    int m_usedRows = 0;
    int m_usedColumns = 0;
    int m_base = 1;
    bool m_table = false;
    QVector<qint16> m_values;
    QVector<Mark> m_marks;
};
