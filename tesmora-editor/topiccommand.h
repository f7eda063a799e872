#pragma once

#include "topicfile.h"

#include <QUndoCommand>

class TopicModel;

// One undoable change of the topic table: a cell edited, a row added or
// deleted, or a row moved one place.
class TopicCommand : public QUndoCommand
{
public:
    enum class Kind { Edit, Insert, Remove, Move };

    static TopicCommand *edit(TopicModel *model, int row, int column, const QString &text);
    static TopicCommand *insert(TopicModel *model, int row);
    static TopicCommand *remove(TopicModel *model, int row);
    static TopicCommand *move(TopicModel *model, int from, int to);

    void redo() override;
    void undo() override;

private:
    TopicCommand(TopicModel *model, Kind kind, int row, const QString &text);

    TopicModel *m_model;
    Kind m_kind;
    int m_row;
    int m_other = 0;  // the column of an edit, the target row of a move
    QString m_text;   // the text an edit puts in
    QString m_before; // the text it replaced
    TopicPair m_pair; // the row a deletion took out
};
