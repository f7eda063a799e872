#pragma once

#include "control.h"

#include <QRadioButton>

// Option buttons with the same parent form one group: choosing one clears the others.
class OptionButton : public Control<QRadioButton>
{
    Q_OBJECT

public:
    OptionButton(const QString &name, const QString &caption, QWidget *parent);

    bool Value() const { return isChecked(); }
    // Choosing runs Click; clearing runs nothing.
    void setValue(bool value);

signals:
    void Click();
};
