#include "celldelegate.h"

#include "celleditor.h"

QWidget *CellDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &index) const
{
    auto *editor = new CellEditor(parent);
    editor->setFrame(false);
    const QPersistentModelIndex cell(index);
    auto *self = const_cast<CellDelegate *>(this); // a delegate's editors are made in a const call
    connect(editor, &CellEditor::linesPasted, self, [self, editor, cell](const QString &text) {
        // The line closes unchanged first: the rows are the window's to put in.
        emit self->closeEditor(editor, QAbstractItemDelegate::NoHint);
        emit self->linesPasted(cell, text);
    });
    return editor;
}
