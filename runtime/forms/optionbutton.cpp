#include "forms/optionbutton.h"

#include <QSignalBlocker>

OptionButton::OptionButton(const QString &name, const QString &caption, QWidget *parent)
    : Control<QRadioButton>(parent)
{
    setObjectName(name);
    setText(caption);
    setAccessibleName(caption);
    // Qt's own exclusivity, so that screen readers are told these are radio
    // buttons; what it changes in Tab and the arrow keys is undone below.
    setAutoExclusive(true);
    connect(this, &QRadioButton::clicked, this, &OptionButton::Click);
}

QList<OptionButton *> OptionButton::group() const
{
    if (!parentWidget())
        return {const_cast<OptionButton *>(this)};
    return parentWidget()->findChildren<OptionButton *>(QString(), Qt::FindDirectChildrenOnly);
}

void OptionButton::nextCheckState()
{
    setChecked(true); // clears the others
}

void OptionButton::setValue(bool value)
{
    if (!value) {
        // An exclusive group keeps its chosen button checked; clearing it
        // from code must still leave none chosen.
        const QSignalBlocker blocker(this);
        setAutoExclusive(false);
        setChecked(false);
        setAutoExclusive(true);
        return;
    }
    {
        const QSignalBlocker blocker(this);
        setChecked(true); // clears the others
    }
    emit Click();
}

void OptionButton::focusInEvent(QFocusEvent *event)
{
    Control<QRadioButton>::focusInEvent(event);
    // Qt takes the other buttons of a group out of the Tab chain when one
    // gets the focus; each option stays a stop of its own.
    for (OptionButton *option : group())
        option->setFocusPolicy(Qt::StrongFocus);
}

void OptionButton::keyPressEvent(QKeyEvent *event)
{
    // In a group Qt's arrow keys would choose each option passed on the way;
    // here they only move the focus, as Tab does.
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up:
        focusNextPrevChild(false);
        return;
    case Qt::Key_Right:
    case Qt::Key_Down:
        focusNextPrevChild(true);
        return;
    default:
        Control<QRadioButton>::keyPressEvent(event);
    }
}
