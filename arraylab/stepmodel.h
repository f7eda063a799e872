#pragma once

#include "steps/steptrace.h"

#include <QAbstractTableModel>
#include <QVector>

// The cells of a run as an item view shows them: each cell's value, marked
// when the current step changed or compared it, or when a guess missed it;
// cells beyond the array's sizes as they are now are drawn faded.
class StepModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum class Mark : quint8 { None, Change, Compare, Miss };

    using QAbstractTableModel::QAbstractTableModel;

    // A new run's grid; nothing marked.
    void reset(int rows, int columns);
    void show(const StepTrace::State &state, bool table);
    void mark(LabObserver::Cell cell, Mark mark);
    void clearMarks();

    int value(int row, int column) const { return m_values[row * m_columns + column]; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    int place(LabObserver::Cell cell, bool table) const;
    bool inUse(int row, int column) const { return row < m_usedRows && column < m_usedColumns; }

    int m_rows = 0;
    int m_columns = 0;
    int m_usedRows = 0;
    int m_usedColumns = 0;
    bool m_table = false;
    QVector<qint16> m_values;
    QVector<Mark> m_marks;
};
