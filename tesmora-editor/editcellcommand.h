#pragma once

#include <QString>
#include <QUndoCommand>

class TopicModel;

// A cell of the topic table given a new text.
class EditCellCommand : public QUndoCommand
{
public:
    EditCellCommand(TopicModel *model, int row, int column, const QString &text);

    void redo() override;
    void undo() override;

private:
    TopicModel *m_model;
    int m_row;
    int m_column;
    QString m_text;
    QString m_before;
};
