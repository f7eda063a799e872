#include "moverowcommand.h"

#include "topicmodel.h"

MoveRowCommand::MoveRowCommand(TopicModel *model, int from, int to)
    : QUndoCommand(QStringLiteral("перенос строки %1").arg(from))
    , m_model(model)
    , m_from(from)
    , m_to(to)
{}

void MoveRowCommand::redo()
{
    m_model->swapRows(m_from, m_to);
}

void MoveRowCommand::undo()
{
    m_model->swapRows(m_from, m_to);
}
