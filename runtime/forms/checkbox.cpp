#include "forms/checkbox.h"

#include <QSignalBlocker>

CheckBox::CheckBox(const QString &name, QWidget *parent)
    : Control<QCheckBox>(parent)
{
    setObjectName(name);
    setText(name);
    connect(this, &QCheckBox::clicked, this, &CheckBox::Click);
}

void CheckBox::setValue(int value)
{
    const bool checked = value != 0;
    if (checked == isChecked())
        return;
    {
        const QSignalBlocker blocker(this);
        setChecked(checked);
    }
    emit Click();
}
