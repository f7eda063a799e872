#pragma once

#include <QStyledItemDelegate>

// The table's cells edited in a CellEditor, whose paste of several lines
// reaches the window with the cell it was meant for.
class CellDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

signals:
    void linesPasted(const QModelIndex &index, const QString &text);
};
