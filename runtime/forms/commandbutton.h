#pragma once

#include "forms/control.h"

#include <QPushButton>

// A caption too wide for its button is shown on two lines, broken at the
// blank that fits best, rather than cut at the edges.
class CommandButton : public Control<QPushButton>
{
    Q_OBJECT

public:
    explicit CommandButton(const QString &name, const QString &caption, QWidget *parent);

    QString Caption() const { return m_caption; }

    // Setting the value to true runs the button's Click at once, enabled or not.
    void setValue(bool value);

signals:
    void Click();

protected:
    void placed() override { fitCaption(); }
    void changeEvent(QEvent *event) override;

private:
    void fitCaption();

    QString m_caption;
};
