#pragma once

#include <QUndoCommand>

class TopicModel;

// A row moved one place, up or down, with its pair.
class MoveRowCommand : public QUndoCommand
{
public:
    MoveRowCommand(TopicModel *model, int from, int to);

    void redo() override;
    void undo() override;

private:
    TopicModel *m_model;
    int m_from;
    int m_to;
};
