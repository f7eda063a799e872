#pragma once

#include "forms/control.h"

#include <QListWidget>

// One colour and one font for all rows. A click on a row runs Click even when
// the row is already selected; with the keyboard, the arrow keys move to a row
// and Enter or Space picks it, running the same Click.
class ListBox : public Control<QListWidget>
{
    Q_OBJECT

public:
    ListBox(const QString &name, QWidget *parent);

    void Clear() { clear(); }
    void AddItem(const QString &text);
    int ListCount() const { return count(); }
    QString List(int row) const;
    int ListIndex() const { return currentRow(); }

signals:
    void Click();

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
