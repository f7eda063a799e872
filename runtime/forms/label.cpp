#include "forms/label.h"

Label::Label(const QString &name, const QString &caption, QWidget *parent)
    : Control<QLabel>(parent)
{
    setObjectName(name);
    setText(caption);
    setAccessibleName(caption);
}
