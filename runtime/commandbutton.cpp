#include "commandbutton.h"

CommandButton::CommandButton(const QString &name, const QString &caption, QWidget *parent)
    : Control<QPushButton>(parent)
{
    setObjectName(name);
    setText(caption);
    setAccessibleName(caption);
    setAutoDefault(false);
    connect(this, &QPushButton::clicked, this, &CommandButton::Click);
}

void CommandButton::setValue(bool value)
{
    if (value)
        emit Click();
}
