#pragma once

#include "topicfile.h"

#include <QUndoCommand>

class TopicModel;

// A row taken out, kept to be put back.
class RemoveRowCommand : public QUndoCommand
{
public:
    RemoveRowCommand(TopicModel *model, int row);

    void redo() override;
    void undo() override;

private:
    TopicModel *m_model;
    int m_row;
    TopicPair m_pair;
};
