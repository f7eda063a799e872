#pragma once

#include "forms/control.h"

#include <QLabel>

class Label : public Control<QLabel>
{
    Q_OBJECT

public:
    Label(const QString &name, const QString &caption, QWidget *parent);
};
