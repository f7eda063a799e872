#pragma once

#include "forms/control.h"

#include <QCheckBox>

class CheckBox : public Control<QCheckBox>
{
    Q_OBJECT

public:
    CheckBox(const QString &name, QWidget *parent);

    int Value() const { return isChecked() ? 1 : 0; }
    // A new value runs the box's Click at once, as a user's click does; the
    // value it already holds runs nothing.
    void setValue(int value);

signals:
    void Click();
};
