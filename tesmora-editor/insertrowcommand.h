#pragma once

#include <QUndoCommand>

class TopicModel;

// An empty pair put in as a new row.
class InsertRowCommand : public QUndoCommand
{
public:
    InsertRowCommand(TopicModel *model, int row);

    void redo() override;
    void undo() override;

private:
    TopicModel *m_model;
    int m_row;
};
