#pragma once

#include "topicfile.h"

#include <QUndoCommand>
#include <QVector>

class TopicModel;

// Rows from one on given other pairs, and rows added past the end for the
// rest: a paste of rows from a spreadsheet, or a topic imported, undone as
// one step.
class ReplacePairsCommand : public QUndoCommand
{
public:
    // Replaces count rows from row (fewer where the table ends) with pairs.
    ReplacePairsCommand(TopicModel *model, int row, int count, const QVector<TopicPair> &pairs, const QString &text);

    void redo() override;
    void undo() override;

private:
    void put(const QVector<TopicPair> &from, const QVector<TopicPair> &to);

    TopicModel *m_model;
    int m_row;
    QVector<TopicPair> m_old;
    QVector<TopicPair> m_new;
};
