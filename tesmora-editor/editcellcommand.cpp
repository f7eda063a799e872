#include "editcellcommand.h"

#include "topicmodel.h"

EditCellCommand::EditCellCommand(TopicModel *model, int row, int column, const QString &text)
    : QUndoCommand(QStringLiteral("правку строки %1").arg(row))
    , m_model(model)
    , m_row(row)
    , m_column(column)
    , m_text(text)
    , m_before(model->cell(row, column))
{}

void EditCellCommand::redo()
{
    m_model->putCell(m_row, m_column, m_text);
}

void EditCellCommand::undo()
{
    m_model->putCell(m_row, m_column, m_before);
}
