#include "optionbutton.h"

#include <QSignalBlocker>

OptionButton::OptionButton(const QString &name, const QString &caption, QWidget *parent)
    : Control<QRadioButton>(parent)
{
    setObjectName(name);
    setText(caption);
    connect(this, &QRadioButton::clicked, this, &OptionButton::Click);
}

void OptionButton::setValue(bool value)
{
    if (value) {
        if (!isChecked()) {
            const QSignalBlocker blocker(this);
            setChecked(true);
        }
        emit Click();
        return;
    }
    // An exclusive radio button cannot be cleared directly.
    const QSignalBlocker blocker(this);
    setAutoExclusive(false);
    setChecked(false);
    setAutoExclusive(true);
}
