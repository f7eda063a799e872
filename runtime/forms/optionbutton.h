#pragma once

#include "forms/control.h"

#include <QRadioButton>

// Option buttons with the same parent form one group: choosing one clears the
// others. Each is a stop of its own for Tab and is chosen with Space or Enter;
// the arrow keys move between them without choosing.
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

protected:
    // A click chooses; it never clears a chosen option.
    void nextCheckState() override;
    void focusInEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QList<OptionButton *> group() const;
};
