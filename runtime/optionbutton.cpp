#include "optionbutton.h"

#include <QSignalBlocker>

OptionButton::OptionButton(const QString &name, const QString &caption, QWidget *parent)
    : Control<QRadioButton>(parent)
{
    setObjectName(name);
    setText(caption);
    setAccessibleName(caption);
    setAutoExclusive(false);
    connect(this, &QRadioButton::clicked, this, &OptionButton::Click);
}

void OptionButton::nextCheckState()
{
    setChecked(true);
    clearOthers();
}

void OptionButton::clearOthers()
{
    if (!parentWidget())
        return;
    for (OptionButton *other : parentWidget()->findChildren<OptionButton *>(QString(), Qt::FindDirectChildrenOnly)) {
        if (other != this) {
            const QSignalBlocker blocker(other);
            other->setChecked(false);
        }
    }
}

void OptionButton::setValue(bool value)
{
    {
        const QSignalBlocker blocker(this);
        setChecked(value);
    }
    if (value) {
        clearOthers();
        emit Click();
    }
}
