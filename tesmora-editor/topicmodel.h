#pragma once

#include "topicfile.h"

#include <QAbstractTableModel>
#include <QSet>
#include <QUndoStack>

// The topic as a two-column table, "Вопрос" and "Ответ", one row per pair and
// numbered from 0 as the trainer counts. Every change goes through the undo
// stack; rows the trainer reads but never asks, and rows a message about the
// files is about, are set apart by their colour.
class TopicModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit TopicModel(QObject *parent = nullptr);

    QUndoStack *undoStack() { return &m_undo; }
    const QVector<TopicPair> &pairs() const { return m_pairs; }
    QString cell(int row, int column) const;
    bool isMarked(int row) const { return m_marked.contains(row); }

    // A new topic: no undo history, nothing changed.
    void reset(const QVector<TopicPair> &pairs, const QSet<int> &marked);
    // The rows a message is about, after the files were read again.
    void setMarks(const QSet<int> &marked);

    // Undoable.
    void addRow(int row);
    void deleteRow(int row);
    bool moveRow(int row, int by);

    // What the undo commands do.
    void putCell(int row, int column, const QString &text);
    void putRow(int row, const TopicPair &pair);
    void takeRow(int row);
    void swapRows(int first, int second);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;

private:
    QVariant rowColour(int row, int role) const;
    void shiftMarks(int from, int by);

    QVector<TopicPair> m_pairs;
    QSet<int> m_marked;
    QUndoStack m_undo;
};
