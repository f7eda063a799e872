#include "replacepairscommand.h"

#include "topicmodel.h"

#include <algorithm>

ReplacePairsCommand::ReplacePairsCommand(TopicModel *model, int row, int count, const QVector<TopicPair> &pairs,
                                         const QString &text)
    : QUndoCommand(text)
    , m_model(model)
    , m_row(row)
    , m_old(model->pairs().mid(row, std::max(0, count)))
    , m_new(pairs)
{}

void ReplacePairsCommand::put(const QVector<TopicPair> &from, const QVector<TopicPair> &to)
{
    // Cell by cell where both have a row, so that marks and selection stay.
    const int common = int(std::min(from.size(), to.size()));
    for (int k = 0; k < common; ++k) {
        m_model->putCell(m_row + k, 0, to[k].question);
        m_model->putCell(m_row + k, 1, to[k].answer);
    }
    for (qsizetype k = from.size(); k > common; --k)
        m_model->takeRow(m_row + int(k) - 1);
    for (qsizetype k = common; k < to.size(); ++k)
        m_model->putRow(m_row + int(k), to[k]);
}

void ReplacePairsCommand::redo()
{
    put(m_old, m_new);
}

void ReplacePairsCommand::undo()
{
    put(m_new, m_old);
}
