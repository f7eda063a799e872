#include "resultsmodel.h"

#include "safetext.h"

#include <QColor>

const QStringList ResultsModel::Columns
    = {QStringLiteral("Дата"),    QStringLiteral("Время"),  QStringLiteral("Ученик"),     QStringLiteral("Компьютер"),
       QStringLiteral("Тема"),    QStringLiteral("Режим"),  QStringLiteral("Совпадения"), QStringLiteral("Ошибки"),
       QStringLiteral("Процент"), QStringLiteral("Оценка"), QStringLiteral("Внимание")};

void ResultsModel::setRows(const QVector<ResultFolder::Entry> &rows)
{
    beginResetModel();
    m_rows = rows;
    endResetModel();
}

int ResultsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int ResultsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(Columns.size());
}

QVariant ResultsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const ResultFolder::Entry &entry = m_rows.at(index.row());
    if (role == Qt::DisplayRole) {
        using Csv = ResultTable::Column;
        const QStringList cells = ResultTable::row(entry);
        const QString pupil = entry.record.name.isEmpty()
            ? entry.record.user
            : QStringLiteral("%1 (%2)").arg(entry.record.name, entry.record.user);
        const QStringList shown = {cells[Csv::Date],
                                   cells[Csv::Time],
                                   pupil,
                                   cells[Csv::Host],
                                   cells[Csv::Topic],
                                   cells[Csv::Mode],
                                   cells[Csv::Matches],
                                   cells[Csv::Errors],
                                   cells[Csv::Percent],
                                   cells[Csv::Grade],
                                   entry.attention.isEmpty() ? entry.note : entry.attention};
        return shown.value(index.column());
    }
    if (role == SortRole) {
        const ResultRecord &r = entry.record;
        switch (index.column()) {
        case Date:
        case Time:
            // The rows come newest first: their order is the time's, and
            // sorting ten thousand of them then costs no time conversions.
            return -index.row();
        case Matches:
            return r.matches;
        case Errors:
            return r.errors;
        case Percent:
            return r.percent;
        default:
            return data(index, Qt::DisplayRole);
        }
    }
    // Tooltips are rich text to Qt: what a record says is shown as it is.
    if (role == Qt::ToolTipRole && !(entry.attention.isEmpty() && entry.note.isEmpty()))
        return SafeText::plainTip(entry.attention.isEmpty() ? entry.note : entry.attention);
    if (role == Qt::ToolTipRole && (index.column() == Pupil || index.column() == Topic))
        return SafeText::plainTip(data(index, Qt::DisplayRole).toString()); // whole, where the column cuts it
    if (role == Qt::BackgroundRole && !entry.attention.isEmpty())
        return QColor(0xFF, 0xE0, 0xB0);
    if (role == Qt::TextAlignmentRole && index.column() >= Matches && index.column() <= Grade)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant ResultsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return Columns.value(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}
