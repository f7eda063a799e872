#pragma once

#include "forms/control.h"

#include <QPlainTextEdit>

// A text box that wraps its text over several lines.
class TextBox : public Control<QPlainTextEdit>
{
    Q_OBJECT

public:
    TextBox(const QString &name, QWidget *parent);

    QString Text() const { return m_text; }
    // Rewrites the box only when the text really changed.
    void setText(const QString &text);

private:
    QString m_text;
};
