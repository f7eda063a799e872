#pragma once

#include "topicfile.h"

#include <QAbstractTableModel>
#include <QSet>

// The topic as a two-column table, "Вопрос" and "Ответ", one row per pair and
// numbered from 0 as the trainer counts. It changes only through the undo
// commands (an edit in a cell is handed out as cellEdited for the window to
// push); rows the trainer reads but never asks, and rows a message about the
// files is about, are set apart by their colour.
class TopicModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit TopicModel(QObject *parent = nullptr);

    const QVector<TopicPair> &pairs() const { return m_pairs; }
    QString cell(int row, int column) const;

    // A topic read from its files.
    void reset(const QVector<TopicPair> &pairs, const QSet<int> &marked);
    // The rows a message is about, after the files were read again.
    void setMarks(const QSet<int> &marked);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;

signals:
    // A cell given a new text, blanks at the ends dropped; not yet in the table.
    void cellEdited(int row, int column, const QString &text);

private:
    friend class EditCellCommand;
    friend class InsertRowCommand;
    friend class RemoveRowCommand;
    friend class MoveRowCommand;
    friend class ReplacePairsCommand;
    void putCell(int row, int column, const QString &text);
    void putRow(int row, const TopicPair &pair);
    void takeRow(int row);
    void swapRows(int first, int second);

    QVariant rowColour(int row, int role) const;
    void shiftMarks(int from, int by);

    QVector<TopicPair> m_pairs;
    QSet<int> m_marked;
};
