#include "removerowcommand.h"

#include "topicmodel.h"

RemoveRowCommand::RemoveRowCommand(TopicModel *model, int row)
    : QUndoCommand(QStringLiteral("удаление строки %1").arg(row))
    , m_model(model)
    , m_row(row)
    , m_pair(model->pairs().at(row))
{}

void RemoveRowCommand::redo()
{
    m_model->takeRow(m_row);
}

void RemoveRowCommand::undo()
{
    m_model->putRow(m_row, m_pair);
}
