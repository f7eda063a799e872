#include "topiccommand.h"

#include "topicmodel.h"

TopicCommand::TopicCommand(TopicModel *model, Kind kind, int row, const QString &text)
    : QUndoCommand(text)
    , m_model(model)
    , m_kind(kind)
    , m_row(row)
{}

TopicCommand *TopicCommand::edit(TopicModel *model, int row, int column, const QString &text)
{
    auto *command = new TopicCommand(model, Kind::Edit, row, QStringLiteral("правка строки %1").arg(row));
    command->m_other = column;
    command->m_text = text;
    command->m_before = model->cell(row, column);
    return command;
}

TopicCommand *TopicCommand::insert(TopicModel *model, int row)
{
    return new TopicCommand(model, Kind::Insert, row, QStringLiteral("новая строка %1").arg(row));
}

TopicCommand *TopicCommand::remove(TopicModel *model, int row)
{
    auto *command = new TopicCommand(model, Kind::Remove, row, QStringLiteral("удаление строки %1").arg(row));
    command->m_pair = model->pairs().at(row);
    return command;
}

TopicCommand *TopicCommand::move(TopicModel *model, int from, int to)
{
    auto *command = new TopicCommand(model, Kind::Move, from, QStringLiteral("перенос строки %1").arg(from));
    command->m_other = to;
    return command;
}

void TopicCommand::redo()
{
    switch (m_kind) {
    case Kind::Edit:
        m_model->putCell(m_row, m_other, m_text);
        break;
    case Kind::Insert:
        m_model->putRow(m_row, TopicPair{});
        break;
    case Kind::Remove:
        m_model->takeRow(m_row);
        break;
    case Kind::Move:
        m_model->swapRows(m_row, m_other);
        break;
    }
}

void TopicCommand::undo()
{
    switch (m_kind) {
    case Kind::Edit:
        m_model->putCell(m_row, m_other, m_before);
        break;
    case Kind::Insert:
        m_model->takeRow(m_row);
        break;
    case Kind::Remove:
        m_model->putRow(m_row, m_pair);
        break;
    case Kind::Move:
        m_model->swapRows(m_row, m_other);
        break;
    }
}
