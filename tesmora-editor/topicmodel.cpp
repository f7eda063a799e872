#include "topicmodel.h"

#include <QBrush>
#include <QColor>

namespace {
const QColor kMarked(0xFF, 0xD0, 0xC8);   // a row a message is about
const QColor kNotAsked(0xE4, 0xE4, 0xE4); // read by the trainer, never asked
const QColor kNotAskedText(0x60, 0x60, 0x60);
} // namespace

TopicModel::TopicModel(QObject *parent)
    : QAbstractTableModel(parent)
{}

QString TopicModel::cell(int row, int column) const
{
    const TopicPair &pair = m_pairs.at(row);
    return column == 0 ? pair.question : pair.answer;
}

void TopicModel::reset(const QVector<TopicPair> &pairs, const QSet<int> &marked)
{
    beginResetModel();
    m_pairs = pairs;
    m_marked = marked;
    endResetModel();
}

void TopicModel::setMarks(const QSet<int> &marked)
{
    m_marked = marked;
    if (!m_pairs.isEmpty())
        emit dataChanged(index(0, 0), index(int(m_pairs.size()) - 1, 1));
}

void TopicModel::putCell(int row, int column, const QString &text)
{
    TopicPair &pair = m_pairs[row];
    (column == 0 ? pair.question : pair.answer) = text;
    emit dataChanged(index(row, column), index(row, column));
}

void TopicModel::putRow(int row, const TopicPair &pair)
{
    beginInsertRows(QModelIndex(), row, row);
    m_pairs.insert(row, pair);
    shiftMarks(row, 1);
    endInsertRows();
    // Every row below has a new number, and may have changed its colour.
    emit headerDataChanged(Qt::Vertical, row, int(m_pairs.size()) - 1);
    emit dataChanged(index(row, 0), index(int(m_pairs.size()) - 1, 1));
}

void TopicModel::takeRow(int row)
{
    beginRemoveRows(QModelIndex(), row, row);
    m_pairs.removeAt(row);
    m_marked.remove(row);
    shiftMarks(row + 1, -1);
    endRemoveRows();
    if (row < m_pairs.size()) {
        emit headerDataChanged(Qt::Vertical, row, int(m_pairs.size()) - 1);
        emit dataChanged(index(row, 0), index(int(m_pairs.size()) - 1, 1));
    }
}

void TopicModel::swapRows(int first, int second)
{
    std::swap(m_pairs[first], m_pairs[second]);
    const bool firstMarked = m_marked.remove(first);
    const bool secondMarked = m_marked.remove(second);
    if (firstMarked)
        m_marked.insert(second);
    if (secondMarked)
        m_marked.insert(first);
    emit dataChanged(index(qMin(first, second), 0), index(qMax(first, second), 1));
}

void TopicModel::shiftMarks(int from, int by)
{
    QSet<int> shifted;
    for (int row : std::as_const(m_marked))
        shifted.insert(row >= from ? row + by : row);
    m_marked = shifted;
}

int TopicModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_pairs.size());
}

int TopicModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant TopicModel::rowColour(int row, int role) const
{
    if (role == Qt::BackgroundRole && m_marked.contains(row))
        return QBrush(kMarked);
    if (row < TopicFile::AskedPairs)
        return QVariant();
    if (role == Qt::BackgroundRole)
        return QBrush(kNotAsked);
    if (role == Qt::ForegroundRole)
        return QBrush(kNotAskedText);
    return QVariant();
}

QVariant TopicModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_pairs.size())
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return cell(index.row(), index.column());
    case Qt::BackgroundRole:
    case Qt::ForegroundRole:
        return rowColour(index.row(), role);
    case Qt::ToolTipRole:
        if (m_marked.contains(index.row()))
            return QStringLiteral("Об этой строке сказано над таблицей");
        if (index.row() >= TopicFile::MaxPairs)
            return QStringLiteral("Трейнер читает только строки 0–30");
        if (index.row() >= TopicFile::AskedPairs)
            return QStringLiteral("Трейнер читает эту строку, но не задаёт её");
        return QVariant();
    default:
        return QVariant();
    }
}

QVariant TopicModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QVariant();
    if (orientation == Qt::Horizontal)
        return section == 0 ? QStringLiteral("Вопрос") : QStringLiteral("Ответ");
    return QString::number(section);
}

Qt::ItemFlags TopicModel::flags(const QModelIndex &index) const
{
    return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
}

bool TopicModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !index.isValid())
        return false;
    // Blanks at the ends are dropped as the trainer's reader drops them.
    const QString text = TopicFile::clean(value.toString());
    if (text == cell(index.row(), index.column()))
        return false;
    emit cellEdited(index.row(), index.column(), text);
    return true;
}
