#include "forms/listbox.h"

#include <QKeyEvent>

ListBox::ListBox(const QString &name, QWidget *parent)
    : Control<QListWidget>(parent)
{
    setObjectName(name);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    // Long rows are cut at the right edge rather than scrolled sideways.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(this, &QListWidget::itemClicked, this, &ListBox::Click);
}

void ListBox::AddItem(const QString &text)
{
    addItem(text);
}

QString ListBox::List(int row) const
{
    const QListWidgetItem *it = item(row);
    return it ? it->text() : QString();
}

void ListBox::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) && currentRow() >= 0) {
        setCurrentRow(currentRow()); // a row reached by the arrows counts as selected
        emit Click();
        return;
    }
    Control<QListWidget>::keyPressEvent(event);
}
