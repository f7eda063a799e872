#pragma once

#include "resulttable.h"

#include <QAbstractTableModel>

// The results shown as table rows for the view; a row marked for the
// teacher's attention is tinted and says why in its tooltip.
class ResultsModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    using QAbstractTableModel::QAbstractTableModel;

    // The window's columns: the CSV's, with the name or else the login as
    // the pupil, and the reason for attention last.
    enum Column { Date, Time, Pupil, Host, Topic, Mode, Matches, Errors, Percent, Grade, Attention };
    static const QStringList Columns;
    // What a column sorts by: the instant for the date and time, numbers as
    // numbers, the text for the rest.
    static constexpr int SortRole = Qt::UserRole;

    // The rows newest first, as the folder gives them.
    void setRows(const QVector<ResultFolder::Entry> &rows);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QVector<ResultFolder::Entry> m_rows;
};
