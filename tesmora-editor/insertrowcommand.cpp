#include "insertrowcommand.h"

#include "topicmodel.h"

InsertRowCommand::InsertRowCommand(TopicModel *model, int row)
    : QUndoCommand(QStringLiteral("добавление строки %1").arg(row))
    , m_model(model)
    , m_row(row)
{}

void InsertRowCommand::redo()
{
    m_model->putRow(m_row, TopicPair{});
}

void InsertRowCommand::undo()
{
    m_model->takeRow(m_row);
}
