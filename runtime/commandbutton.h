#pragma once

#include "control.h"

#include <QPushButton>

class CommandButton : public Control<QPushButton>
{
    Q_OBJECT

public:
    explicit CommandButton(const QString &name, const QString &caption, QWidget *parent);

    // Setting the value to true runs the button's Click at once, enabled or not.
    void setValue(bool value);
    bool Value() const { return false; }

signals:
    void Click();
};
